// SPDX-License-Identifier: MIT
#pragma once
// A listener held by a model object. It belongs to the object, not to the state the object
// holds: a copy (or a move) starts with no listener, and assigning another object's state keeps
// the listener the target already has. So a copy of a model shown in a view never calls that
// view, and a model shown in a view stays shown when an earlier state is assigned to it.

#include <utility>

namespace lenstally {

template <typename Listener> class ListenerSlot {
public:
    ListenerSlot() = default;
    ListenerSlot(const ListenerSlot& /*other*/) {}
    ListenerSlot& operator=(const ListenerSlot& /*other*/) { return *this; }
    ~ListenerSlot() = default;

    void set(Listener listener) { m_listener = std::move(listener); }
    const Listener& get() const { return m_listener; }

private:
    Listener m_listener{};
};

} // namespace lenstally
