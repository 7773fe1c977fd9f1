// The profile store: the byte layouts of its two files, the profile and score-table rules, the
// hostile loader with its ".bak" copies, what a failed save tells the player, and saves killed midway.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/util/PathUtil.h"
#include "platform/win/files/FileLock.h"
#include "tests/front/FrontTestSupport.h"
#include "tests/support/FullDisk.h"
#include "tests/support/PollUntil.h"
#include "tests/support/UnreadableFile.h"

namespace {

using FrontTest::Long;
using FrontTest::ProfileBytes;
using FrontTest::Str;

class ProfileStoreTest : public FrontTest::FrontFixture {
 protected:
  ProfileStore& Store() { return gProfileStore; }
  std::vector<std::string> Table() {
    std::vector<std::string> rows;
    for (const auto& entry : Store().mScores) rows.push_back(entry->mName + " " + std::to_string(entry->mScore));
    return rows;
  }
  // The texts of the message boxes shown after the first `from`.
  std::vector<std::string> ShownSince(std::size_t from) const {
    std::vector<std::string> texts;
    const auto shown = mMessageBoxes.Shown();
    for (std::size_t i = from; i < shown.size(); ++i) texts.push_back(shown[i].text);
    return texts;
  }
  static std::string Absolute(const std::string& programPath) {
    return std::filesystem::absolute(RealPath(programPath)).lexically_normal().string();
  }
  void SetScores(const std::vector<int>& scores) {
    Store().ClearScores();
    for (int score : scores) Store().mScores.push_back(std::make_unique<HighScoreEntry>(HighScoreEntry{"p", score}));
  }
};

TEST_F(ProfileStoreTest, ThePlayerFileHoldsCountThenEachProfileAsWritten) {
  Store().AddProfile("Ann");
  Store().AddProfile("Bo");  // becomes current
  Store().mProfiles[1]->mProgress = "3:00000000";
  Store().mProfiles[1]->mSavedScene = 2;
  Store().mProfiles[1]->mSavedLevel = 4;
  Store().mProfiles[1]->mSavedScore = 1234;
  Store().mProfiles[1]->mSavedLives = 5;
  ASSERT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  EXPECT_EQ(Contents(kPlayerFilePath),
            Long(2) + ProfileBytes("Ann", "0000000000", "no") + ProfileBytes("Bo", "3:00000000", "yes", 2, 4, 1234, 5));

  gProfileStore = ProfileStore();
  Store().LoadProfiles(kPlayerFilePath);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Ann", "Bo"}));
  ASSERT_EQ(Store().mCurrentProfile, Store().mProfiles[1].get());
  EXPECT_EQ(Store().mCurrentProfile->mSavedScore, 1234);
  EXPECT_FALSE(Exists(kPlayerFilePath + ".bak")) << "a sound file is not kept aside";
}

TEST_F(ProfileStoreTest, TheScoreFileHoldsTheFiveBestWithoutACount) {
  SetScores({900, 800, 700, 600, 500, 400});
  ASSERT_TRUE(Store().SaveScores(kScoreFilePath));
  std::string expected;
  for (int score : {900, 800, 700, 600, 500}) expected += Str("p") + Long(score);
  EXPECT_EQ(Contents(kScoreFilePath), expected);
  Store().LoadScores(kScoreFilePath);
  EXPECT_EQ(Table().size(), 5u);
  EXPECT_EQ(Store().mLastRank, -1);
}

TEST_F(ProfileStoreTest, DeletingOrSelectingMovesTheCurrentPlayerAsTheRulesSay) {
  for (const char* name : {"a", "b", "c"}) Store().AddProfile(name);
  Store().SelectProfile("b");
  Store().SelectProfile("nobody");
  EXPECT_EQ(Store().mCurrentProfile->mName, "b") << "an unknown name changes nothing";
  Store().DeleteProfile("c");
  EXPECT_EQ(Store().mCurrentProfile->mName, "b") << "deleting another player keeps the current one";
  Store().DeleteProfile("b");
  ASSERT_NE(Store().mCurrentProfile, nullptr);
  EXPECT_EQ(Store().mCurrentProfile->mName, "a") << "the first one left takes over";
  EXPECT_EQ(Store().mProfiles[0]->mCurrent, "yes");
  Store().RenameProfile("a", "z");
  Store().DeleteProfile("z");
  EXPECT_EQ(Store().mCurrentProfile, nullptr);
  EXPECT_TRUE(Store().mProfiles.empty());
  Store().AddProfile("y");
  Store().ClearProfiles();
  EXPECT_EQ(Store().mCurrentProfile, nullptr) << "no pointer to a deleted profile";
}

struct InsertCase {
  std::vector<int> before;
  int score;
  std::vector<std::string> after;
  int rank;
};

TEST_F(ProfileStoreTest, ANewScoreGoesAboveEqualOnesAndRanksOutsideTheFiveAtSix) {
  const std::vector<InsertCase> cases = {
      {{900, 500, 300}, 500, {"p 900", "new 500", "p 500", "p 300"}, 2},
      {{}, 10, {"new 10"}, 1},
      {{900, 500}, 100, {"p 900", "p 500", "new 100"}, 3},
      {{900, 800, 700, 600, 500}, 100, {"p 900", "p 800", "p 700", "p 600", "p 500", "new 100"}, 6},
      {{900, 800, 700, 600, 500, 50}, 100, {"p 900", "p 800", "p 700", "p 600", "p 500", "p 50", "new 100"}, 6},
      {{900, 800, 700, 600, 500}, 700, {"p 900", "p 800", "new 700", "p 700", "p 600", "p 500"}, 3},
  };
  for (const InsertCase& c : cases) {
    SetScores(c.before);
    Store().InsertScore("new", c.score);
    EXPECT_EQ(Table(), c.after) << "inserting " << c.score;
    EXPECT_EQ(Store().mLastRank, c.rank) << "inserting " << c.score;
  }
}

struct DamagedFile {
  const char* what;
  std::string bytes;
  std::vector<std::string> names;  // the whole profiles that are read
  const char* current;             // the current player afterwards, "" for none
  bool keptAside;
};

TEST_F(ProfileStoreTest, ADamagedPlayerFileIsReadAsFarAsItIsWholeAndKeptAsBak) {
  const std::string ann = ProfileBytes("ann", "5000000000", "yes");
  const std::string bob = ProfileBytes("bob", "0000000000", "no");
  const std::vector<DamagedFile> cases = {
      {"empty", "", {}, "", true},
      {"truncated in a count", "\x02\x00", {}, "", true},
      {"truncated in a record", Long(2) + ann + bob.substr(0, 9), {"ann"}, "ann", true},
      {"count larger than the records", Long(1000000) + ann, {"ann"}, "ann", true},
      {"negative count", Long(-5) + ann, {}, "", true},
      {"string length beyond the end", Long(1) + "\xFF\xFF" + "ann", {}, "", true},
      {"bytes after the last record", Long(1) + ann + "junk", {"ann"}, "ann", true},
      {"progress too short", Long(1) + ProfileBytes("ann", "55", "yes"), {"ann"}, "ann", true},
      {"current neither yes nor no", Long(1) + ProfileBytes("ann", "0000000000", "YES"), {"ann"}, "", true},
      {"two current players", Long(2) + ann + ProfileBytes("bob", "0000000000", "yes"), {"ann", "bob"}, "bob", false},
  };
  for (const DamagedFile& c : cases) {
    std::filesystem::remove_all(std::filesystem::path(RealPath(kPlayerFilePath)).parent_path());
    gProfileStore = ProfileStore();
    Put(kPlayerFilePath, c.bytes);
    const std::size_t boxes = mMessageBoxes.Shown().size();
    Store().LoadProfiles(kPlayerFilePath);
    EXPECT_EQ(Names(), c.names) << c.what;
    EXPECT_EQ(Store().mCurrentProfile ? Store().mCurrentProfile->mName : "", c.current) << c.what;
    EXPECT_EQ(Exists(kPlayerFilePath + ".bak"), c.keptAside) << c.what;
    const std::string told = "Player data was damaged.\nA copy was kept as " + Absolute(kPlayerFilePath + ".bak") + ".";
    EXPECT_EQ(ShownSince(boxes), std::vector<std::string>(c.keptAside ? 1 : 0, told)) << c.what;
    if (c.keptAside) {
      EXPECT_EQ(Contents(kPlayerFilePath + ".bak"), c.bytes) << c.what;
    }
    int yes = 0;
    for (const auto& profile : Store().mProfiles) {
      yes += profile->mCurrent == "yes";
      EXPECT_EQ(profile->mProgress.size(), 10u) << c.what;
    }
    EXPECT_LE(yes, 1) << c.what << ": at most one current player";
  }
}

// The copy of a damaged file is no more public than the file: it takes its permission bits and, when the
// game runs as root, its owner and group.
TEST_F(ProfileStoreTest, AKeptCopyIsAsPrivateAsTheDamagedFile) {
  const bool root = ::geteuid() == 0;
  Put(kPlayerFilePath, "damaged");
  const std::string file = RealPath(kPlayerFilePath);
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  if (root) {
    ASSERT_EQ(::chown(file.c_str(), 12345, 12346), 0);
  }
  Store().LoadProfiles(kPlayerFilePath);
  struct stat copy {};
  ASSERT_EQ(::stat(RealPath(kPlayerFilePath + ".bak").c_str(), &copy), 0);
  EXPECT_EQ(copy.st_mode & 07777, 0600u);
  if (!root) GTEST_SKIP() << "only root may give a file to another user: the copy's owner was not checked";
  EXPECT_EQ(std::pair(copy.st_uid, copy.st_gid), std::pair(12345u, 12346u));
}

TEST_F(ProfileStoreTest, AKeptCopyIsNeverOverwrittenByALaterDamagedFile) {
  // The table is read again each time it is shown: the same damage is copied and told once.
  for (const std::string& bytes : {std::string("first"), std::string("first"), std::string("second")}) {
    Put(kScoreFilePath, bytes);
    Store().LoadScores(kScoreFilePath);
  }
  EXPECT_EQ(Contents(kScoreFilePath + ".bak"), "first");
  EXPECT_EQ(Contents(kScoreFilePath + ".bak2"), "second");
  EXPECT_EQ(ShownSince(0).size(), 2u);
  std::string seven;
  for (int i = 7; i > 0; --i) seven += Str("p") + Long(i * 100);
  Put(kScoreFilePath, seven);
  Store().LoadScores(kScoreFilePath);
  EXPECT_EQ(Table().size(), 5u) << "a file of seven records gives the first five";
  EXPECT_EQ(Contents(kScoreFilePath + ".bak3"), seven);
}

// Something that stands where the player file should be and cannot be read (a folder, a file without
// permission as a looping link stands for here, a read error, a pipe) may hold the player's data: the
// player is told, it is moved aside whole as ".bak", and the next save writes a new file beside it.
class UnreadablePlayerFile : public ProfileStoreTest, public testing::WithParamInterface<testsupport::Unreadable> {};

TEST_P(UnreadablePlayerFile, IsReportedKeptAsideWholeAndNotWrittenOver) {
  testsupport::MakeUnreadable(RealPath(kPlayerFilePath), GetParam());
  Store().LoadProfiles(kPlayerFilePath);
  EXPECT_TRUE(Store().mProfiles.empty());
  EXPECT_EQ(ShownSince(0), std::vector<std::string>{"Could not read player data.\nIt was moved to " +
                                                    Absolute(kPlayerFilePath + ".bak") + "."});
  EXPECT_TRUE(testsupport::UnreadableIsIntact(RealPath(kPlayerFilePath + ".bak"), GetParam()));

  Store().AddProfile("ann");
  EXPECT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  gProfileStore = ProfileStore();
  Store().LoadProfiles(kPlayerFilePath);
  EXPECT_EQ(Names(), std::vector<std::string>{"ann"});
  EXPECT_TRUE(testsupport::UnreadableIsIntact(RealPath(kPlayerFilePath + ".bak"), GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Kinds, UnreadablePlayerFile, testing::ValuesIn(testsupport::kUnreadableKinds),
                         [](const auto& info) { return testsupport::UnreadableName(info.param); });

// A damaged file whose copy cannot be written (on a full disk the copy does not fit and the new file
// does; the folder's lock file cannot be made) stays as it is and no save replaces it; a copy's name that
// a folder holds is passed by.
TEST_F(ProfileStoreTest, NoSaveReplacesADamagedFileWhoseCopyIsNotWritten) {
  struct CopyObstacle {
    const char* what;
    bool players;        // the player file, else the score file
    const char* folder;  // where a folder stands; empty: a full disk
    const char* why;     // why no copy was kept; null: kept as ".bak2"
  };
  for (const CopyObstacle& c :
       {CopyObstacle{"player file, full disk", true, "", "File too large"},
        CopyObstacle{"score file, full disk", false, "", "File too large"},
        CopyObstacle{"player file, no lock", true, "userdata\\.lock", "Is a directory"},
        CopyObstacle{"player file, .bak taken", true, "userdata\\playerdata.dat.bak", nullptr},
        CopyObstacle{"score file, .bak taken", false, "userdata\\datascore.dat.bak", nullptr}}) {
    std::filesystem::remove_all(std::filesystem::path(RealPath(kPlayerFilePath)).parent_path());
    gProfileStore = ProfileStore();
    const std::string& file = c.players ? kPlayerFilePath : kScoreFilePath;
    const std::string damaged =
        (c.players ? Long(1) + ProfileBytes("ann", "1000000000", "yes") : Str("ann") + Long(9)) +
        std::string(5000, 'x');  // bytes after the last record
    Put(file, damaged);
    if (*c.folder != 0) testsupport::MakeUnreadable(RealPath(c.folder), testsupport::Unreadable::kFolder);
    const std::size_t boxes = mMessageBoxes.Shown().size();
    bool saved = false;
    {
      std::optional<testsupport::ScopedFullDisk> disk;
      if (*c.folder == 0) disk.emplace(1000);
      if (c.players) {
        Store().LoadProfiles(file);
        Store().AddProfile("bo");
        saved = Store().SaveProfiles(file);
      } else {
        Store().RecordGameScore(5);  // reads the table, adds the score, saves it
        saved = Store().SaveScores(file);
      }
    }
    const bool kept = c.why == nullptr;
    const std::string told = std::string(c.players ? "Player" : "Heroes") + " data was damaged.\n" +
                             (kept ? "A copy was kept as " + Absolute(file + ".bak2") + "."
                                   : std::string("No copy of it could be kept (") + c.why +
                                         "), so nothing is saved over it until the game is started again.");
    EXPECT_EQ(ShownSince(boxes), std::vector<std::string>{told}) << c.what << ": told once, saves not again";
    EXPECT_EQ(saved, kept) << c.what;
    EXPECT_EQ(Contents(file) == damaged, !kept) << c.what;
    EXPECT_EQ(Contents(file + ".bak2"), kept ? damaged : "") << c.what;
  }
}

// A player file linked to one still to be made elsewhere is no damage: a save killed midway left its
// temporary beside the target, which the start removes, and the next save makes the target.
TEST_F(ProfileStoreTest, ALinkedPlayerFileIsMadeThroughItsLinkAndCleanedBesideItsTarget) {
  const std::string target = mFolder / "synced/players.dat";
  std::filesystem::create_directories(std::filesystem::path(RealPath(kPlayerFilePath)).parent_path());
  std::filesystem::create_symlink(target, RealPath(kPlayerFilePath));
  const pid_t ended = fork();
  ASSERT_GE(ended, 0);
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string left = mFolder.Write("synced/players.dat.tmp" + std::to_string(ended) + "-0", "half");
  Store().LoadProfiles(kPlayerFilePath);
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_EQ(ShownSince(0), std::vector<std::string>{}) << "nothing to tell";
  Store().AddProfile("ann");
  ASSERT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  EXPECT_TRUE(std::filesystem::is_symlink(RealPath(kPlayerFilePath)));
  EXPECT_EQ(testsupport::ReadFileContents(target), Long(1) + ProfileBytes("ann", "0000000000", "yes"));
}

TEST_F(ProfileStoreTest, AFailedSaveKeepsTheOldFileAndIsReportedOncePerRun) {
  Store().AddProfile("ann");
  ASSERT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  const std::string before = Contents(kPlayerFilePath);
  Store().AddProfile(std::string(65536, 'x'));  // too long for its 16-bit length field
  EXPECT_FALSE(Store().SaveProfiles(kPlayerFilePath));
  EXPECT_EQ(Contents(kPlayerFilePath), before);
  std::filesystem::remove_all(std::filesystem::path(RealPath(kPlayerFilePath)).parent_path());
  Put("userdata", "a file where the folder should be");
  EXPECT_FALSE(Store().SaveProfiles(kPlayerFilePath));
  SetScores({10});
  EXPECT_FALSE(Store().SaveScores(kScoreFilePath));
  EXPECT_EQ(ShownSince(0), (std::vector<std::string>{"Could not save player data.", "Could not save heroes data."}));
}

// A file that cannot be read is told in the game's error box; a damaged file kept aside and a failed save
// are notices of the store's own, after which the game goes on: they are not captioned as fatal.
TEST_F(ProfileStoreTest, OnlyAFileThatCannotBeReadIsToldInTheFatalErrorBox) {
  testsupport::MakeUnreadable(RealPath(kScoreFilePath), testsupport::Unreadable::kFolder);
  Store().LoadScores(kScoreFilePath);
  Put(kPlayerFilePath, "damaged");
  Store().LoadProfiles(kPlayerFilePath);
  Store().AddProfile(std::string(65536, 'x'));  // too long for its 16-bit length field
  Store().SaveProfiles(kPlayerFilePath);
  std::vector<std::string> captions;
  for (const auto& box : mMessageBoxes.Shown()) captions.push_back(box.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"FATAL ERROR", "Quarvel - 1.0", "Quarvel - 1.0"}));
}

TEST_F(ProfileStoreTest, ACompletedLevelRaisesProgressAndBecomesTheSavedGameAtOnce) {
  Store().AddProfile("ann");
  Store().mCurrentProfile->mProgress = "0500000009";
  ASSERT_TRUE(Store().RecordLevelComplete(2, 3, 77, 1));
  EXPECT_EQ(Store().mCurrentProfile->mProgress, "0500000009") << "progress is never lowered";
  ASSERT_TRUE(Store().RecordLevelComplete(10, 10, 88, 5));
  EXPECT_EQ(Store().mCurrentProfile->mProgress, "050000000:") << "level ten finishes the scene";

  gProfileStore = ProfileStore();
  Store().LoadProfiles(kPlayerFilePath);
  const PlayerProfile& saved = *Store().mCurrentProfile;
  EXPECT_EQ(saved.mProgress, "050000000:");
  EXPECT_EQ((std::vector<int>{saved.mSavedScene, saved.mSavedLevel, saved.mSavedScore, saved.mSavedLives}),
            (std::vector<int>{10, 10, 88, 5}));
  Store().RecordLevelComplete(1, 1, 5, 1);
  EXPECT_EQ(Store().mCurrentProfile->mSavedLives, kMinSavedLives);
}

TEST_F(ProfileStoreTest, AGameScoreIsRecordedOnceWhenTheGameEnds) {
  Store().AddProfile("ann");
  ASSERT_TRUE(Store().RecordGameScore(450));
  EXPECT_EQ(Contents(kScoreFilePath), Str("ann") + Long(450));
  EXPECT_TRUE(Store().TakeRecordedGameScore());
  EXPECT_FALSE(Store().TakeRecordedGameScore());
  gProfileStore = ProfileStore();
  Store().RecordGameScore(20);
  EXPECT_EQ(Table(), (std::vector<std::string>{"ann 450", "player 20"})) << "nobody current: \"player\"";
}

// The names of the files in the player's folder that look like a save's temporary.
std::vector<std::string> TemporariesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().find(".tmp") != std::string::npos)
      names.push_back(entry.path().filename().string());
  return names;
}

TEST_F(ProfileStoreTest, SavesKilledMidwayLeaveWholeFilesAndTheNextStartRemovesTheirTemporaries) {
  // A player file of about 100 KB: a save takes long enough to be killed in the middle.
  for (int i = 0; i < 1000; ++i) Store().AddProfile("player " + std::to_string(i) + std::string(70, '.'));
  SetScores({900, 800, 700, 600, 500});
  ASSERT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  ASSERT_TRUE(Store().SaveScores(kScoreFilePath));
  const std::string players = Contents(kPlayerFilePath);
  const std::string scores = Contents(kScoreFilePath);
  const std::filesystem::path folder = std::filesystem::path(RealPath(kPlayerFilePath)).parent_path();

  for (int round = 0; round < 200; ++round) {
    const pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
      while (true) {
        Store().SaveProfiles(kPlayerFilePath);
        Store().SaveScores(kScoreFilePath);
      }
    }
    // Killed once its save has made its temporary, at once or a little later (perhaps after the rename,
    // in the next save).
    const std::string mark = ".tmp" + std::to_string(saver) + "-";
    const auto savedSome = [&] {
      for (const auto& name : TemporariesIn(folder))
        if (name.find(mark) != std::string::npos) return true;
      return false;
    };
    const bool saving = static_cast<bool>(testsupport::PollUntil(savedSome, [] { usleep(100); }));
    usleep(static_cast<useconds_t>(round % 3 == 0 ? 0 : round * 397 % 3000));
    kill(saver, SIGKILL);
    int status;
    waitpid(saver, &status, 0);
    ASSERT_TRUE(saving) << "round " << round << ": the saver never began to write";
  }
  EXPECT_FALSE(TemporariesIn(folder).empty()) << "no save was killed midway";
  EXPECT_EQ(Contents(kPlayerFilePath), players);
  EXPECT_EQ(Contents(kScoreFilePath), scores);

  gProfileStore = ProfileStore();
  Store().LoadProfiles(kPlayerFilePath);  // as the game does when it starts
  EXPECT_EQ(TemporariesIn(folder), std::vector<std::string>{});
  EXPECT_EQ(Names().size(), 1000u);
  Store().LoadScores(kScoreFilePath);
  EXPECT_EQ(Table().size(), 5u);
  EXPECT_FALSE(Exists(kPlayerFilePath + ".bak"));
  EXPECT_FALSE(Exists(kScoreFilePath + ".bak"));
}

TEST_F(ProfileStoreTest, TheStartRemovesOnlyTemporariesAndWaitsForACopyThatHoldsTheFolder) {
  Store().AddProfile("ann");
  ASSERT_TRUE(Store().SaveProfiles(kPlayerFilePath));
  const std::string players = Contents(kPlayerFilePath);
  const std::vector<std::string> temporaries = {"playerdata.dat.tmp4321-0", "datascore.dat.tmp99999-17",
                                                "shot.png.tmp1-2"};
  const std::vector<std::string> others = {
      "datascore.dat",       "playerdata.dat.bak",   "playerdata.dat.bak2",  "playerdata.dat.tmp",
      "datascore.dat.tmp12", "datascore.dat.tmp12-", "datascore.dat.tmpx-1", ".tmp1-2",
      "notes.tmp1-2.txt"};
  for (const auto& name : temporaries) Put("userdata\\" + name, "half");
  for (const auto& name : others) Put("userdata\\" + name, "kept");
  const std::filesystem::path folder = std::filesystem::path(RealPath(kPlayerFilePath)).parent_path();
  std::filesystem::create_directory(folder / "folder.tmp1-2");

  {
    // Another copy of the game in the middle of a save holds the folder past the wait.
    const plat::FileLock otherCopy(Kit::GetFileDir(kPlayerFilePath, true) + ".lock", 0);
    ASSERT_TRUE(otherCopy.Held());
    Store().LoadProfiles(kPlayerFilePath);
    for (const auto& name : temporaries) EXPECT_TRUE(Exists("userdata\\" + name)) << name;
  }
  gProfileStore = ProfileStore();
  Store().LoadProfiles(kPlayerFilePath);
  for (const auto& name : temporaries) EXPECT_FALSE(Exists("userdata\\" + name)) << name;
  for (const auto& name : others) EXPECT_EQ(Contents("userdata\\" + name), "kept") << name;
  EXPECT_TRUE(std::filesystem::is_directory(folder / "folder.tmp1-2"));
  EXPECT_EQ(Contents(kPlayerFilePath), players);
  EXPECT_EQ(Names(), std::vector<std::string>{"ann"});
}

// A saved game read from a file is one the rules can end: with no life left a game never reaches game
// over, and a score below 0 no game makes. Above, there is no limit but the int's.
TEST(SavedGame, AReadSavedGameIsPutRightWhereNoGameCouldHaveLeftIt) {
  using Game = std::vector<std::int32_t>;  // scene, level, score, lives
  for (const auto& [stored, read] : std::vector<std::pair<Game, Game>>{
           {{2, 4, 1234, 5}, {2, 4, 1234, 5}},  // untouched, as all zero and the most the int holds
           {{0, 0, 0, 0}, {0, 0, 0, 0}},
           {{3, 10, INT32_MAX, INT32_MAX}, {3, 10, INT32_MAX, INT32_MAX}},
           {{2, 4, 1234, 0}, {2, 4, 1234, kMinSavedLives}},
           {{2, 4, 1234, -1}, {2, 4, 1234, kMinSavedLives}},
           {{2, 4, -5, 3}, {2, 4, 0, 3}},
           {{11, 3, 50, 3}, {0, 0, 0, 0}},
           {{0, 0, 0, 3}, {0, 0, 0, 0}}}) {
    const std::string bytes =
        Long(1) + ProfileBytes("ann", "0000000000", "yes", stored[0], stored[1], stored[2], stored[3]);
    const DecodedProfiles decoded = DecodePlayerFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(decoded.mProfiles.size(), 1u);
    const PlayerProfile& p = *decoded.mProfiles[0];
    EXPECT_EQ((Game{p.mSavedScene, p.mSavedLevel, p.mSavedScore, p.mSavedLives}), read)
        << stored[2] << ", " << stored[3];
    EXPECT_EQ(decoded.mDamaged, read != stored) << stored[2] << ", " << stored[3];
  }
}

TEST(SavedGame, OnlyAGameInsideTheTenScenesAndLevelsCounts) {
  struct Case {
    int scene, level;
    bool counts;
  };
  for (const Case& c : std::vector<Case>{{1, 1, true},
                                         {10, 10, true},
                                         {0, 0, false},
                                         {11, 1, false},
                                         {3, 0, false},
                                         {3, 11, false},
                                         {-1, 5, false}}) {
    PlayerProfile profile;
    profile.mSavedScene = c.scene;
    profile.mSavedLevel = c.level;
    EXPECT_EQ(profile.HasSavedGame(), c.counts) << c.scene << "/" << c.level;
  }
}

}  // namespace
