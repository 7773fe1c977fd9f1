// The libjpeg error manager of the JPEG reader and writer: a library error jumps back to the caller's
// setjmp instead of ending the program, and nothing is printed.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace ImageLib {

struct JPEGErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

// Installs the manager in a compressor or decompressor before it is created.
jpeg_error_mgr* InstallJPEGErrorManager(JPEGErrorManager* errors);
// Gives up on the image from the caller's own checks, as a library error would.
[[noreturn]] void AbandonJPEG(j_common_ptr info);

}  // namespace ImageLib
