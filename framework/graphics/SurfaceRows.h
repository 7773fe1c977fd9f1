// Row kernels of the alpha and additive surface blits onto 32-bit surfaces whose fields are the bytes of
// 0x00RRGGBB. Each gives exactly the formula of the routine it serves (the add table's sum of two
// 8-bit fields saturates at 255); on x86-64 they work on four pixels at a time.
#pragma once

#include <cstdint>

namespace Kit::SurfaceRows {

// Each field of d becomes min(d + s, 255).
void AddSaturated888(std::uint32_t* d, const std::uint32_t* s, int count);
// Each field of d becomes min(d + (s x c >> 8), 255), c per field 0..255.
void AddScaled888(std::uint32_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb);

// Premultiplied source words over d: each field of d becomes (d x (256 - a) >> 8) plus the source's,
// and the source's alpha byte lands above them.
void BlendPremultiplied888(std::uint32_t* d, const std::uint32_t* s, int count);

// The same additions onto 5-6-5 pixels from native words whose low 16 bits are 5-6-5: each field
// becomes min(d + s, max), or min(d + (s x c >> 8), max) with c per field 0..255.
void AddSaturated565(std::uint16_t* d, const std::uint32_t* s, int count);
void AddScaled565(std::uint16_t* d, const std::uint32_t* s, int count, std::uint32_t cr, std::uint32_t cg,
                  std::uint32_t cb);

// The low 16 bits of each native word stored into a 16-bit row.
void StoreLow16(std::uint16_t* d, const std::uint32_t* s, int count);

}  // namespace Kit::SurfaceRows
