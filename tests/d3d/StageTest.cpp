// The stage-0 operations and arguments, specular colour, alpha test, culling, flat shading and the
// addressing modes, each on one row of eight pixels of a 32-bit target against colours worked out by
// hand from the texel T, the diffuse colour D, the texture factor F and the specular colour S.
#include <gtest/gtest.h>

#include <functional>

#include "tests/d3d/D3DFixture.h"

namespace d3d_test {
namespace {

constexpr std::uint32_t T = 0x80C08040, U = 0xFF204060, D = 0xC0408020, F = 0x40FFFFFF, S = 0x00102030;
constexpr std::uint32_t BORDER = 0xFF0000FF;

class StageTest;

struct StageCase {
  const char* name;
  std::function<void(StageTest&)> setUp;
  std::vector<std::uint32_t> row;  // the first eight pixels of row 0, as 0xRRGGBB; one value: all eight
  std::vector<D3DCOLOR> colors;    // of the four corners; none: D at each
  float u1 = 1;                    // the texture coordinate at the right edge
};

class StageTest : public D3DBase, public testing::WithParamInterface<StageCase> {
 public:
  plat::DesktopFormat FormatUnderTest() const override { return plat::DesktopFormat::Xrgb8888; }
  void Stage(std::initializer_list<std::pair<D3DTEXTURESTAGESTATETYPE, DWORD>> states) { SetStageStates(states); }
  void States(std::initializer_list<std::pair<D3DRENDERSTATETYPE, DWORD>> states) { SetStates(states); }
};

TEST_P(StageTest, GivesTheWorkedOutColours) {
  const StageCase& c = GetParam();
  // Two texels, T then U; most cases sample T alone (u from 0 to 1/2 over the row).
  auto texture = CreateTexture(2, 1, TexelFormat::A8R8G8B8, {T, U});
  ASSERT_EQ(mDevice->SetTexture(0, texture.get()), D3D_OK);
  SetStates({{D3DRENDERSTATE_TEXTUREFACTOR, F}});
  SetStageStates({{D3DTSS_BORDERCOLOR, BORDER}});
  c.setUp(*this);
  auto quad = SpriteStrip(0, 0, 8, 2);
  for (size_t i = 0; i < 4; ++i) {
    quad[i].color = c.colors.empty() ? D : c.colors[i];
    quad[i].specular = S;
    quad[i].tu *= c.u1;
  }
  ASSERT_EQ(DrawScene(D3DPT_TRIANGLESTRIP, quad), D3D_OK);
  const auto pixels = ReadTarget();
  std::vector<std::uint32_t> row;
  for (int x = 0; x < 8; ++x) row.push_back(pixels[static_cast<size_t>(x)] & 0xFFFFFF);
  std::vector<std::uint32_t> expected = c.row;
  if (expected.size() == 1) expected.assign(8, expected[0]);
  EXPECT_EQ(row, expected);
}

void Select(StageTest& t, DWORD op, DWORD arg1, DWORD arg2 = D3DTA_DIFFUSE) {
  t.Stage({{D3DTSS_COLOROP, op}, {D3DTSS_COLORARG1, arg1}, {D3DTSS_COLORARG2, arg2}});
}

const StageCase kCases[] = {
    {"Texture", [](StageTest& t) { Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE); }, {0xC08040}, {}, 0.5f},
    {"Diffuse", [](StageTest& t) { Select(t, D3DTOP_SELECTARG2, D3DTA_TEXTURE); }, {0x408020}, {}, 0.5f},
    {"Modulate", [](StageTest& t) { Select(t, D3DTOP_MODULATE, D3DTA_TEXTURE); }, {0x304008}, {}, 0.5f},
    {"Modulate2x", [](StageTest& t) { Select(t, D3DTOP_MODULATE2X, D3DTA_TEXTURE); }, {0x608110}, {}, 0.5f},
    {"Modulate4x", [](StageTest& t) { Select(t, D3DTOP_MODULATE4X, D3DTA_TEXTURE); }, {0xC1FF20}, {}, 0.5f},
    {"Add", [](StageTest& t) { Select(t, D3DTOP_ADD, D3DTA_TEXTURE); }, {0xFFFF60}, {}, 0.5f},
    {"TextureFactor", [](StageTest& t) { Select(t, D3DTOP_SELECTARG1, D3DTA_TFACTOR); }, {0xFFFFFF}, {}, 0.5f},
    {"Complement",
     [](StageTest& t) { Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT); },
     {0x3F7FBF},
     {},
     0.5f},
    {"AlphaReplicate",
     [](StageTest& t) { Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE); },
     {0x808080},
     {},
     0.5f},
    {"DisabledStage", [](StageTest& t) { Select(t, D3DTOP_DISABLE, D3DTA_TEXTURE); }, {0x408020}, {}, 0.5f},
    {"SpecularAdded",
     [](StageTest& t) {
       Select(t, D3DTOP_MODULATE, D3DTA_TEXTURE);
       t.States({{D3DRENDERSTATE_SPECULARENABLE, TRUE}});
     },
     {0x406038},
     {},
     0.5f},
    {"AlphaTestDrops",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
       t.States({{D3DRENDERSTATE_ALPHATESTENABLE, TRUE},
                 {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER},
                 {D3DRENDERSTATE_ALPHAREF, 0x90}});
     },
     {0},
     {},
     0.5f},
    {"AlphaTestKeeps",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
       t.States({{D3DRENDERSTATE_ALPHATESTENABLE, TRUE},
                 {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER},
                 {D3DRENDERSTATE_ALPHAREF, 0x70}});
     },
     {0xC08040},
     {},
     0.5f},
    // The sprite strip turns counter-clockwise on the screen.
    {"CulledCounterClockwise",
     [](StageTest& t) {
       t.States({{D3DRENDERSTATE_CULLMODE, D3DCULL_CCW}});
     },
     {0},
     {},
     0.5f},
    {"KeptUnderClockwiseCulling",
     [](StageTest& t) {
       t.States({{D3DRENDERSTATE_CULLMODE, D3DCULL_CW}});
     },
     {0x304008},
     {},
     0.5f},
    // Row 0 lies in the strip's first triangle up to the diagonal at x 5.5 (first vertex red), then in
    // its second (first vertex, the left-bottom one, green).
    {"FlatShading",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG2, D3DTA_TEXTURE);
       t.States({{D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT}});
     },
     {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00},
     {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}},
    // Eight pixels over four texel widths of the two-texel texture.
    {"Wrap",
     [](StageTest& t) { Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE); },
     {0xC08040, 0xC08040, 0x204060, 0x204060, 0xC08040, 0xC08040, 0x204060, 0x204060},
     {},
     2},
    {"Mirror",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
       t.Stage({{D3DTSS_ADDRESS, D3DTADDRESS_MIRROR}});
     },
     {0xC08040, 0xC08040, 0x204060, 0x204060, 0x204060, 0x204060, 0xC08040, 0xC08040},
     {},
     2},
    {"Clamp",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
       t.Stage({{D3DTSS_ADDRESS, D3DTADDRESS_CLAMP}});
     },
     {0xC08040, 0xC08040, 0x204060, 0x204060, 0x204060, 0x204060, 0x204060, 0x204060},
     {},
     2},
    {"Border",
     [](StageTest& t) {
       Select(t, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
       t.Stage({{D3DTSS_ADDRESS, D3DTADDRESS_BORDER}});
     },
     {0xC08040, 0xC08040, 0x204060, 0x204060, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
     {},
     2},
};

INSTANTIATE_TEST_SUITE_P(Cases, StageTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace d3d_test
