#include "framework/resource/JPEGErrorManager.h"

namespace ImageLib {
namespace {

void JpegErrorExit(j_common_ptr info) { AbandonJPEG(info); }

void IgnoreMessage(j_common_ptr, int) {}

}  // namespace

void AbandonJPEG(j_common_ptr info) {
  auto* errors = reinterpret_cast<JPEGErrorManager*>(info->err);
  std::longjmp(errors->jump, 1);
}

jpeg_error_mgr* InstallJPEGErrorManager(JPEGErrorManager* errors) {
  jpeg_error_mgr* manager = jpeg_std_error(&errors->manager);
  manager->error_exit = JpegErrorExit;
  manager->emit_message = IgnoreMessage;
  return manager;
}

}  // namespace ImageLib
