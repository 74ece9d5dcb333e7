#pragma once

// The number of fields of an aggregate, for the static_asserts that hold a
// table of rows to the struct it describes: a field added to the struct
// without its row fails to compile.

#include <cstddef>

namespace velm {
namespace detail {

// Converts to any field's type; only ever named in unevaluated contexts.
struct AnyField {
  template <typename T>
  operator T() const noexcept;
};

}  // namespace detail

// The most initialisers T{...} takes: its fields, for an aggregate without
// nested aggregates or arrays.
template <typename T, typename... Given>
constexpr std::size_t FieldCount() {
  if constexpr (requires { T{Given{}..., detail::AnyField{}}; }) {
    return FieldCount<T, Given..., detail::AnyField>();
  } else {
    return sizeof...(Given);
  }
}

}  // namespace velm
