// The private X server the real-window tests start is always stopped when they end.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"
#include "tests/support/XvfbServer.h"

namespace testsupport {
namespace {

// Stands in for an X server whose SIGTERM handler ran just before it began to wait for clients: the
// first request is taken and forgotten, the next one ends it.
constexpr const char* kServerThatMissesTheFirstSigterm = R"(#!/bin/sh
requests=0
trap 'requests=$((requests + 1)); [ $requests -ge 2 ] && exit 0' TERM
eval "echo 99 >&$2"
eval "exec $2>&-"
while :; do sleep 0.01; done
)";

TEST(XvfbServerTest, AServerThatForgetsTheFirstSigtermIsStillStopped) {
  TempDir dir;
  const std::string server = dir.Write("Xvfb", kServerThatMissesTheFirstSigterm);
  ASSERT_EQ(chmod(server.c_str(), 0755), 0);
  XvfbServer xvfb(server);
  EXPECT_EQ(xvfb.Display(), ":99");
  // Its end is checked when it goes: a server killed after ten seconds adds a failure.
}

}  // namespace
}  // namespace testsupport
