#include "game/play/ObjectLibrary.h"

#include <gtest/gtest.h>

#include <ostream>

#include "framework/graphics/Image.h"
#include "game/play/ResourceIds.h"
#include "tests/objects/ObjectsFixture.h"
#include "tests/support/ObjectFiles.h"

namespace {

using objectfiles::Int32Bytes;
using objectfiles::ObjectRecord;
using objectfiles::RecordBytes;
using objectfiles::SampleRecord;

// A prototype "template" + name that fades out by 255 per tick: it ends in its second tick.
ObjectRecord Prototype(const std::string& name, const std::string& imageName = "IMAGE_FIRE") {
  ObjectRecord prototype;
  prototype.name = "template" + name;
  prototype.imageName = imageName;
  prototype.alphaStep = -255;
  prototype.width = 15.0f;
  prototype.height = 14.0f;
  return prototype;
}

class ObjectLibraryTest : public ObjectsTest {
 protected:
  void LoadTemplates(const std::vector<ObjectRecord>& prototypes) {
    gObjectLibrary.LoadTemplates(WriteFile("data/template.dat", gamedata::EncodeTemplates(prototypes)));
  }
  ObjectLibrary& Library() { return gObjectLibrary; }
};

TEST_F(ObjectLibraryTest, AnAnimationIsReusedOnlyOnceItsFadeHasEnded) {
  LoadTemplates({Prototype("explode")});
  ObjectTemplate* first = Library().ObtainAnimation("explode");
  ObjectTemplate* second = Library().ObtainAnimation("explode");
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second) << "the first is still running";
  EXPECT_EQ(first->mName, "explode");
  EXPECT_EQ(first->mWidth, 15.0f);
  Library().UpdateAnimations();  // 255 -> 0
  Library().UpdateAnimations();  // below 0: both end
  EXPECT_FALSE(first->mRunning);
  EXPECT_EQ(Library().ObtainAnimation("explode"), first);
  EXPECT_TRUE(first->mRunning && first->mVisible);
  EXPECT_EQ(first->mAlpha, 0) << "a reused instance keeps the values it stopped with";
  EXPECT_EQ(Library().Instances().size(), 2u);
}

// Instances are found by name: removing some (as a level's bricks are) leaves the others to be found,
// first idle first, and never a removed one.
TEST_F(ObjectLibraryTest, RemovedInstancesAreNeverHandedOutAgain) {
  LoadTemplates({Prototype("explode")});
  ObjectTemplate* first = Library().ObtainAnimation("explode");
  ObjectTemplate* second = Library().ObtainAnimation("explode");
  ObjectTemplate* third = Library().ObtainAnimation("explode");
  Library().UpdateAnimations();
  Library().UpdateAnimations();  // all three end
  Library().RemoveInstancesIf([first](const ObjectTemplate& record) { return &record == first; });
  EXPECT_EQ(Library().ObtainAnimation("explode"), second);
  EXPECT_EQ(Library().ObtainAnimation("explode"), third);
  EXPECT_EQ(Library().Instances().size(), 2u);
}

TEST_F(ObjectLibraryTest, AnUnknownNameBeepsOnceAndAddsNothing) {
  LoadTemplates({Prototype("explode")});
  EXPECT_EQ(Library().ObtainAnimation("fire"), nullptr);
  EXPECT_EQ(Beeps(), (std::vector<std::pair<DWORD, DWORD>>{{333, 111}}));
  EXPECT_TRUE(Library().Instances().empty());
}

TEST_F(ObjectLibraryTest, TheFirstOfTwoPrototypesWithOneNameIsCloned) {
  ObjectRecord later = Prototype("fire");
  later.width = 99.0f;
  LoadTemplates({Prototype("fire"), later});
  EXPECT_EQ(Library().ObtainAnimation("fire")->mWidth, 15.0f);
}

TEST_F(ObjectLibraryTest, PrototypesTakeTheImageOfTheirImageIdentifierAndNothingForOtherNames) {
  Kit::Image fire, back;
  IMAGE_FIRE = &fire;
  IMAGE_BACK = &back;
  LoadTemplates({Prototype("fire"), Prototype("sound", "SOUND_BUTTON"), Prototype("none", "IMAGE_NOT_THERE"),
                 Prototype("back", "IMAGE_BACK")});
  const auto& prototypes = Library().Prototypes();
  ASSERT_EQ(prototypes.size(), 4u);
  EXPECT_EQ(prototypes[0]->mImage, &fire);
  EXPECT_EQ(prototypes[1]->mImage, nullptr);
  EXPECT_EQ(prototypes[2]->mImage, nullptr);
  EXPECT_EQ(prototypes[3]->mImage, &back);
  EXPECT_EQ(Library().mImageNames.size(), 234u);
  EXPECT_EQ(Library().mImageNames.begin()->second, "IMAGE_LOADER_BAR");
}

TEST_F(ObjectLibraryTest, AMissingTemplateFileStillResolvesTheImagesOfWhatIsHeld) {
  Kit::Image fire;
  IMAGE_FIRE = &fire;
  Library().AppendPrototype()->mImageName = "IMAGE_FIRE";
  Library().LoadTemplates(mDir / "data/missing.dat");
  ASSERT_EQ(Library().Prototypes().size(), 1u);
  EXPECT_EQ(Library().Prototypes()[0]->mImage, &fire);
}

// Damaged files keep the records before the damage, and nothing is reserved for a claimed count.
struct DamagedFile {
  const char* what;
  std::string bytes;
  std::size_t recordsKept;
};

void PrintTo(const DamagedFile& file, std::ostream* out) { *out << file.what; }

class ObjectLibraryDamagedTemplates : public ObjectLibraryTest, public testing::WithParamInterface<DamagedFile> {};

TEST_P(ObjectLibraryDamagedTemplates, KeepOnlyTheWholeRecordsBeforeTheDamage) {
  Library().LoadTemplates(WriteFile("template.dat", GetParam().bytes));
  EXPECT_EQ(Library().Prototypes().size(), GetParam().recordsKept);
  if (!Library().Prototypes().empty()) {
    EXPECT_EQ(Library().Prototypes()[0]->mName, "first");
  }
}

const std::string kTwoRecords = RecordBytes(SampleRecord("first")) + RecordBytes(SampleRecord("second"));

INSTANTIATE_TEST_SUITE_P(Files, ObjectLibraryDamagedTemplates,
                         testing::Values(DamagedFile{"Empty", "", 0}, DamagedFile{"ShortCount", "\2\0", 0},
                                         DamagedFile{"NegativeCount", Int32Bytes(-5) + kTwoRecords, 0},
                                         DamagedFile{"HugeCount", Int32Bytes(0x7fffffff) + kTwoRecords, 2},
                                         DamagedFile{"TruncatedSecondRecord",
                                                     Int32Bytes(2) + kTwoRecords.substr(0, kTwoRecords.size() - 1), 1},
                                         DamagedFile{"CountBelowTheRecords", Int32Bytes(1) + kTwoRecords, 1}),
                         testing::PrintToStringParamName());

// The background kinds a level names are checked where the level is loaded (tests/play).
TEST_F(ObjectLibraryTest, ALevelFileAppendsItsObjectsWhateverItsBackground) {
  const std::vector<ObjectRecord> bricks{SampleRecord("brick_aa_001"), SampleRecord("brick_bb_002")};
  EXPECT_EQ(Library().LoadLevel(WriteFile("level.vel", gamedata::EncodeLevel({4, bricks}))),
            ObjectLibrary::kKeepBackground);
  ASSERT_EQ(Library().Instances().size(), 2u);
  EXPECT_EQ(Library().Instances()[1]->mName, "brick_bb_002");
  EXPECT_EQ(Library().Instances()[1]->mImage, nullptr) << "a level binds no images";
  EXPECT_EQ(Library().LoadLevel(mDir / "missing.vel"), ObjectLibrary::kUnreadableLevel);
  EXPECT_EQ(Library().LoadLevel(WriteFile("short.vel", "\1\0")), ObjectLibrary::kUnreadableLevel);
  EXPECT_EQ(Library().Instances().size(), 2u);
}

}  // namespace
