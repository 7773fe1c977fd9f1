// The loading of a level: what the previous level left in the object library and the actor scene is
// cleared, the level file of the current scene and level (or the next queued custom level) is read, each
// of its brick objects becomes a hidden brick actor, and the music changes to the level's track. The
// level-start screen and the command line's direct entry to a level both load through here. Main thread
// only.
#pragma once

#include <string>

class GameApp;

// "data\level" + scene + "_" + level + ".vel", or for a custom level the front of the queue, which is
// taken off it.
std::string TakeLevelPath(GameApp& app);
// The same path, left on the queue.
std::string PeekLevelPath(const GameApp& app);

// What the level file gave. Only a level with bricks is played: one without any could never be lost
// or won, and must never count as cleared.
enum class LevelContents {
  kUnreadable,  // missing, or not even its background value could be read
  kNoBricks,    // read, but without a single brick
  kBricks,
};
// The previous level's bricks go from the object library, every actor from the scene, and every other
// record becomes idle for reuse.
void ClearPreviousLevel();
// Reads the level file: its bricks become hidden brick actors, its background kind is set and its
// music starts.
LevelContents ReadLevelFile(GameApp& app);
// Both, in that order.
LevelContents LoadLevelObjects(GameApp& app);
// What the player is told of a level that is not played; empty for one with bricks.
std::string UnplayableLevelText(const std::string& path, LevelContents contents);
