// An input recording in memory: what the application recorded, and a stream to play back from.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/app/DemoSync.h"

namespace KitTest {

class FakeDemoSync : public Kit::DemoSync {
 public:
  struct Record {
    int command = 0;
    bool result = false;
    std::vector<std::uint32_t> longs;
    std::vector<std::uint8_t> bytes;
  };

  void WriteRecord(int command, bool result) override { records.push_back({command, result, {}, {}}); }
  void WriteLong(std::uint32_t value) override { records.back().longs.push_back(value); }
  void WriteBytes(const std::uint8_t* bytes, std::uint32_t count) override {
    records.back().bytes.insert(records.back().bytes.end(), bytes, bytes + count);
  }

  bool ReadRecord(int command) override {
    if (next >= records.size() || records[next].command != command) {
      outOfStep = true;
      return false;
    }
    current = &records[next++];
    nextLong = 0;
    return current->result;
  }
  std::uint32_t ReadLong() override {
    return current != nullptr && nextLong < current->longs.size() ? current->longs[nextLong++] : 0;
  }
  std::vector<std::uint8_t> ReadBytes(std::uint32_t count) override {
    if (current == nullptr) return {};
    const std::size_t available = std::min<std::size_t>(count, current->bytes.size());
    return {current->bytes.begin(), current->bytes.begin() + static_cast<std::ptrdiff_t>(available)};
  }

  std::vector<Record> records;
  std::size_t next = 0;
  bool outOfStep = false;

 private:
  Record* current = nullptr;
  std::size_t nextLong = 0;
};

}  // namespace KitTest
