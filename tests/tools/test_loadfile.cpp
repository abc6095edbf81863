#include "tools_test_util.h"

#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <cordak/urand.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kBadFile[] = "This file was stored using a different version of Gyrix or is invalid and cannot be loaded.";

std::vector<int> Colours(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetFaceletCount(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

struct LoadPuzzleFileTest : ScratchFolder {
  CQuietServices services;
};

}  // namespace

TEST_F(LoadPuzzleFileTest, OpensASavedPuzzleAsANewPuzzleOfItsType) {
  for (int type : {0, 3}) {
    std::unique_ptr<CPuzzle> saved(CreatePuzzle(type));
    Randomize(17);
    saved->Scramble();
    saved->RecordMove(2, 0);
    const std::string path = Path("game.puz");
    ASSERT_EQ(saved->Save(path.c_str()), 1);

    std::unique_ptr<CPuzzle> loaded(LoadPuzzleFile(path.c_str()));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetTypeId(), type);
    EXPECT_EQ(Colours(*loaded), Colours(*saved));
    EXPECT_EQ(loaded->GetHistorySize(), 1);
    EXPECT_EQ(loaded->IsSolved(), 0);
    EXPECT_EQ(loaded->IsScramblePending(), 1);
    EXPECT_EQ(loaded->IsClockRunning(), 0);
  }
  EXPECT_TRUE(services.messages.empty());
}

TEST_F(LoadPuzzleFileTest, RefusesOtherVersionsAndDamagedFilesWithTheMessage) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(1));
  const std::string good = Path("good.puz");
  ASSERT_EQ(cube->Save(good.c_str()), 1);
  const Bytes bytes = ReadAll(good);
  ASSERT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0x14, char(0xAE), char(0xA7), 0x3F}));

  Bytes older = bytes;
  const float version = 1.3f;
  std::memcpy(older.data(), &version, 4);
  Bytes relabelled = bytes;
  relabelled[4] = 0;  // a 3x3x3 cube claiming to be a 2x2x2
  const std::vector<Bytes> refused = {
      {},                                            // empty
      Bytes(bytes.begin(), bytes.begin() + 6),       // header cut short
      older,                                         // another version
      Bytes(bytes.begin(), bytes.end() - 3),         // truncated
      relabelled,
  };
  for (size_t i = 0; i < refused.size(); ++i) {
    const std::string path = Path("bad.puz");
    WriteAll(path, refused[i]);
    services.messages.clear();
    EXPECT_EQ(LoadPuzzleFile(path.c_str()), nullptr) << "case " << i;
    EXPECT_EQ(services.messages, (std::vector<std::string>{kBadFile})) << "case " << i;
    EXPECT_EQ(services.captions.back(), "Error");
  }
}

TEST_F(LoadPuzzleFileTest, FilesOfUnknownOrUnbuiltTypesSayWhy) {
  std::unique_ptr<CPuzzle> cube(CreatePuzzle(1));
  const std::string path = Path("other.puz");
  ASSERT_EQ(cube->Save(path.c_str()), 1);
  Bytes bytes = ReadAll(path);
  bytes[4] = 99;
  WriteAll(path, bytes);
  EXPECT_EQ(LoadPuzzleFile(path.c_str()), nullptr);
  EXPECT_EQ(services.messages,
            (std::vector<std::string>{"This file holds a puzzle of an unknown type (99) and cannot be loaded."}));
  for (int type = 0; type < kPuzzleTypeCount; ++type) {
    if (IsPuzzleBuilt(type)) continue;
    bytes[4] = static_cast<char>(type);
    WriteAll(path, bytes);
    services.messages.clear();
    EXPECT_EQ(LoadPuzzleFile(path.c_str()), nullptr);
    EXPECT_EQ(services.messages, (std::vector<std::string>{std::string("This file holds the ") +
                                                           GetPuzzleType(type)->name +
                                                           " puzzle, which this build of Gyrix cannot show yet."}));
    break;
  }
}

TEST_F(LoadPuzzleFileTest, AFileThatCannotBeOpenedGivesNothingSilently) {
  services.messages.clear();
  EXPECT_EQ(LoadPuzzleFile(Path("missing.puz").c_str()), nullptr);
  EXPECT_EQ(LoadPuzzleFile(folder.c_str()), nullptr);
  EXPECT_EQ(LoadPuzzleFile(nullptr), nullptr);
  EXPECT_TRUE(services.messages.empty());
}
