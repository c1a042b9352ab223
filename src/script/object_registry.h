// The objects of one engine session that hold script values (instances of
// script classes, dictionaries) and are still alive, so that the end of the
// session can tear them all down: reference counting alone never frees
// objects that refer to each other (`Set a.Other = b : Set b.Other = a`, a
// parent and its children pointing back, a dictionary holding itself).
//
// An object joins when it is made (HostObject::joinSession) and leaves when
// it is destroyed.  At the end of the session the runtime runs what is
// still to run on them (Class_Terminate), then dropAll() empties every one
// (HostObject::dropValues), which frees those nobody else holds.  An object
// the host still holds stays, empty but valid; it no longer belongs to any
// session.
//
// A registry and its objects are used by the thread working in the engine,
// like the objects' reference counts.
#pragma once

#include "script/host_object.h"

#include <cstddef>

namespace quillet::script {

class ObjectRegistry {
public:
    ObjectRegistry() = default;
    ~ObjectRegistry();
    ObjectRegistry(const ObjectRegistry&) = delete;
    ObjectRegistry& operator=(const ObjectRegistry&) = delete;

    // Objects alive in the session.
    size_t size() const noexcept { return count_; }

    // Calls `visit` on every object, those that join meanwhile included
    // (they join at the end), each held while it is visited.
    template <typename Visit>
    void forEach(Visit&& visit);

    // Empties every object, then lets go of it: all of them leave the
    // session, and those nobody else holds are freed.
    void dropAll() noexcept;

private:
    friend class HostObject;
    void add(HostObject& object) noexcept;
    void remove(HostObject& object) noexcept;

    HostObject* first_ = nullptr;
    HostObject* last_ = nullptr;
    size_t count_ = 0;
};

template <typename Visit>
void ObjectRegistry::forEach(Visit&& visit)
{
    // The one visited is held, and so is the next before it is let go:
    // letting go may free it, and whatever else goes with it, never the next.
    HostObject* object = first_;
    if (!object)
        return;
    object->addRef();
    while (object) {
        visit(*object);
        HostObject* next = object->nextInSession_;
        if (next)
            next->addRef();
        object->release();
        object = next;
    }
}

} // namespace quillet::script
