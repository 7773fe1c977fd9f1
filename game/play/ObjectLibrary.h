// ObjectLibrary.h: the game's one store of object records: the prototypes read from
// "data\template.dat", the objects of the current level and the animation instances the game asks for
// by name. It owns every record; callers keep plain pointers and give an instance back by clearing its
// running flag, after which the library hands it out again under its name. Records are found by name
// through indexes, so that a file of many thousand records loads and plays without a walk of every
// record for each of them; a record's name is therefore set before it is first looked up and never
// changed while the library holds it. One global instance, gObjectLibrary, from start-up to exit.
// Main thread only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "game/play/ObjectTemplate.h"

namespace Kit {
class Image;
}  // namespace Kit

class ObjectLibrary {
 public:
  // A request for name N clones the prototype named kPrototypePrefix + N.
  static constexpr const char* kPrototypePrefix = "template";
  // What LoadLevel returns when the level selects no background kind.
  static constexpr int kKeepBackground = -1;
  // What LoadLevel returns when the file cannot be read (missing, a folder, a read error, over 64 MiB) or
  // does not even hold its background value.
  static constexpr int kUnreadableLevel = -2;

  ObjectLibrary() = default;
  virtual ~ObjectLibrary();
  ObjectLibrary(const ObjectLibrary&) = delete;
  ObjectLibrary& operator=(const ObjectLibrary&) = delete;

  void ClearInstances();
  void ClearPrototypes();
  void ClearImageNames();
  // Empties everything, as at start-up (tests, exit).
  void Reset();

  // A new record with the defaults, appended to its list; the caller names it.
  ObjectTemplate* AppendInstance();
  ObjectTemplate* AppendPrototype();
  // The first prototype of exactly that name, or null.
  ObjectTemplate* FindPrototype(const std::string& name) const;
  // Deletes the instances for which the predicate holds, keeping the order of the others.
  template <typename Predicate>
  void RemoveInstancesIf(Predicate predicate) {
    std::erase_if(mInstances,
                  [&predicate](const std::unique_ptr<ObjectTemplate>& record) { return predicate(*record); });
    mInstancesIndexed = false;
  }

  // Every IMAGE_ identifier number with its name, ascending by number.
  void BuildImageNameTable();
  // The image bound to the lowest identifier whose name equals imageName exactly, or null.
  Kit::Image* FindImageByName(const std::string& imageName) const;
  // Each prototype whose image name names an image identifier gets that image; others keep theirs.
  void ResolveImages();

  // Appends the prototypes of a template file (an int32 count, then that many records), then resolves
  // images (also when the file is missing). Reading stops at the first truncated or malformed record;
  // the records before it are kept.
  void LoadTemplates(std::string path);
  // Appends the objects of a level file (an int32 background kind, an int32 count, the records), with
  // the same rules. Returns the background kind the file selects (1 -> 1, 2 -> 2, 3 -> 0), which the
  // caller gives to the background animation, kKeepBackground for any other value, or kUnreadableLevel.
  // Binds no images: level loading binds those of its brick records itself.
  int LoadLevel(std::string path);

  // One animation tick of every instance, in list order.
  void UpdateAnimations();
  // A new instance copied from the prototype of that exact name; null and a beep when there is none.
  ObjectTemplate* CloneByName(std::string name);
  // A running, visible instance of the name: an idle one reused as it stopped, else a clone of the
  // prototype "template" + name renamed to name; null (the clone beeped) when there is no prototype.
  ObjectTemplate* ObtainAnimation(std::string name);

  using RecordList = std::vector<std::unique_ptr<ObjectTemplate>>;

  const RecordList& Instances() const { return mInstances; }    // level objects and animation instances
  const RecordList& Prototypes() const { return mPrototypes; }  // in file order

  ObjectTemplate* mLastCreated = nullptr;  // the record appended last; null after a clear
  std::map<int, std::string> mImageNames;  // IMAGE_ identifier number -> name

 private:
  // Appends the record to the list and notes it as the last created.
  ObjectTemplate* Append(RecordList& list, std::unique_ptr<ObjectTemplate> record);
  // The same for a named record, which the list's index takes in while it is up to date.
  ObjectTemplate* AppendInstanceNamed(std::unique_ptr<ObjectTemplate> record);
  ObjectTemplate* AppendPrototypeNamed(std::unique_ptr<ObjectTemplate> record);
  // Reads an int32 count, then records until that many are read or one fails; each whole one is
  // appended by `append`.
  using Appender = ObjectTemplate* (ObjectLibrary::*)(std::unique_ptr<ObjectTemplate>);
  void ReadRecords(std::istream& in, Appender append);
  // The prototype of that name, or null after the beep of a missing one.
  const ObjectTemplate* PrototypeOrBeep(const std::string& name) const;
  // A new instance copied from the prototype, under the name.
  ObjectTemplate* Clone(const ObjectTemplate& prototype, std::string name);
  // The indexes made again from the lists, when a change they did not follow has made them stale.
  void IndexInstances();
  void IndexPrototypes() const;

  RecordList mInstances;
  RecordList mPrototypes;
  // Name -> the instances of that name, in list order.
  std::unordered_map<std::string, std::vector<ObjectTemplate*>> mInstancesNamed;
  bool mInstancesIndexed = true;
  // Name -> the first prototype of that name.
  mutable std::unordered_map<std::string, ObjectTemplate*> mFirstPrototypeNamed;
  mutable bool mPrototypesIndexed = true;
  // IMAGE_ name -> its lowest identifier number.
  std::unordered_map<std::string, int> mImageIdNamed;
};

extern ObjectLibrary gObjectLibrary;
