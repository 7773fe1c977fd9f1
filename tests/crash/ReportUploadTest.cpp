// The crash report's upload from the crash windows to a server on the loopback address: the multipart
// request byte for byte, with the user's words.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "framework/app/CrashHandler.h"
#include "framework/app/HTTPTransfer.h"
#include "framework/app/KitAppBase.h"
#include "platform/win/Windows.h"
#include "tests/crash/LoopbackServer.h"
#include "tests/support/TempDir.h"

namespace {

using Kit::CrashHandler;

class ReportingApp : public Kit::KitAppBase {
 public:
  void AddCrashReportFields(std::map<std::string, std::string>& fields) override {
    fields["zlevel"] = "3";
    fields["arch"] = "x86-64";
  }
};

class ReportUpload : public testing::Test {
 protected:
  void SetUp() override {
    mApp.mProdName = "Quarvel";
    mApp.mProductVersion = "1.0";
    std::ofstream(mFolder / "run.dmo", std::ios::binary).write(kDemo.data(), static_cast<long>(kDemo.size()));
    CrashHandler::mCrashDemoFile = mFolder / "run.dmo";
    CrashHandler::mHasDemoFile = true;
  }
  void TearDown() override {
    CrashHandler::mHasDemoFile = false;
    CrashHandler::mSubmitHost.clear();
  }

  const std::string kDemo{"DEMO\0\r\n--\xff\x01", 12};
  testsupport::TempDir mFolder;
  ReportingApp mApp;
};

// Steps through the crash windows as a user would, one step per timer tick: "Send Report", then the
// details typed and "Continue"; the upload's result then ends the loop.
int gStep = 0;
std::string gSeen;

void ClickThrough(HWND, UINT, UINT_PTR, DWORD) {
  HWND window = GetActiveWindow();
  char title[64] = {};
  GetWindowText(window, title, sizeof(title));
  if (gStep == 0 && gSeen.empty()) gSeen = title;
  if (gStep == 0 && std::string(title) == "Fatal Error!") {
    SendMessage(GetDlgItem(window, 1), BM_CLICK, 0, 0);
    gStep = 1;
  } else if (gStep == 1 && std::string(title) == "Error Details") {
    SetWindowText(GetFocus(), "I pressed space twice");
    SendMessage(GetDlgItem(window, 1), BM_CLICK, 0, 0);
    gStep = 2;
  }
}

TEST_F(ReportUpload, TheCrashWindowsSendTheReportWithTheUsersWords) {
  crashtest::LoopbackServer server({"HTTP/1.1 200 OK\r\n\r\n"});
  CrashHandler::mSubmitHost = server.Url("/crash");
  CrashHandler::mExitLoop = false;
  gStep = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, &ClickThrough);
  CrashHandler::ShowErrorWindow("Exception at 0010:00000020", "the report\r\n");
  KillTimer(nullptr, timer);
  EXPECT_EQ(gSeen, "Fatal Error!");
  EXPECT_EQ(gStep, 2);
  EXPECT_EQ(CrashHandler::UploadTransfer().GetResultCode(), Kit::HTTPTransfer::RESULT_DONE);

  // A multipart request, byte for byte, whose Host header names only the host and port.
  const std::string b = "---------------------------7d3e1f30eec";
  auto part = [&](const std::string& name, const std::string& value) {
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  };
  const std::string body = part("arch", "x86-64") + part("zlevel", "3") + part("prod", "Quarvel") +
                           part("version", "1.0") + part("usertext", "I pressed space twice") +
                           part("errortitle", "Exception at 0010:00000020") + part("errortext", "the report\r\n") +
                           "--" + b +
                           "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"tessil.dmo\"\r\n"
                           "Content-Type: application/octet-stream\r\n\r\n" +
                           kDemo + "\r\n--" + b + "--\r\n";
  EXPECT_EQ(server.Request(),
            "POST /plenar_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + b +
                "\r\nUser-Agent: Mozilla/4.0 (compatible; tessil)\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) +
                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

}  // namespace
