#pragma once
// Wayland proxies owned like any other resource: each freed by the call
// that its interface destroys it with.

#include <memory>

namespace wayland {

template <auto destroy>
struct Destroyer {
  template <typename T>
  void operator()(T* object) const {
    destroy(object);
  }
};
template <typename T, auto destroy>
using Owned = std::unique_ptr<T, Destroyer<destroy>>;

}  // namespace wayland
