// A setting of the process (or of the calling thread) given another value for a scope, and the value it
// had put back when the scope ends. The setting is reached through its exchange function, which puts a
// value in force and returns the one it replaces. Each scope puts back what it found, so scopes of one
// setting nest when they end in the reverse order of their making, as scopes on one thread do. Owns the
// value it will put back.
#pragma once

#include <utility>

namespace plat {

template <typename Value, Value (*kExchange)(Value)>
class ScopedValue {
 public:
  explicit ScopedValue(Value value) : mPrevious(kExchange(std::move(value))) {}
  ~ScopedValue() { kExchange(std::move(mPrevious)); }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  Value mPrevious;
};

}  // namespace plat
