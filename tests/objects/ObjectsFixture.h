// The fixture of the object tests: the game's single objects (scene, library, glyph font, resource
// globals) and the random generator as at start-up, beeps logged instead of sounded, and a scratch
// folder for files.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/shell/Shell.h"
#include "tests/support/TempDir.h"
#include "tests/support/WholeGame.h"

class ObjectsTest : public testing::Test {
 protected:
  ObjectsTest() { testsupport::ResetGameObjects(); }
  ~ObjectsTest() override { testsupport::ResetGameObjects(); }

  // The beeps sounded so far, as (Hz, ms).
  std::vector<std::pair<DWORD, DWORD>> Beeps() const { return mShell.Record().beeps; }
  // Writes bytes to a scratch file and returns its path.
  std::string WriteFile(const std::string& name, const std::string& bytes) const { return mDir.Write(name, bytes); }

  plat::ScopedShellLog mShell;
  testsupport::TempDir mDir;
};
