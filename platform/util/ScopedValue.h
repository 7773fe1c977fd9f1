// A setting of the process (or of the calling thread) given another value for a scope, and the value it
// had put back when the scope ends, so that scopes nest. The setting is reached through its exchange
// function, which puts a value in force and returns the one it replaces; that function says which
// threads may make and end a scope. Owns the value it will put back.
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
