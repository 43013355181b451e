// One visitor from several lambdas, for std::visit over a variant.
#pragma once

namespace tavrel {

template <typename... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace tavrel
