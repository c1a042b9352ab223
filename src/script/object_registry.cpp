#include "script/object_registry.h"

namespace quillet::script {

ObjectRegistry::~ObjectRegistry()
{
    // Whatever is left (nothing, once dropAll has run) leaves the session.
    while (first_)
        remove(*first_);
}

void ObjectRegistry::add(HostObject& object) noexcept
{
    object.session_ = this;
    object.previousInSession_ = last_;
    object.nextInSession_ = nullptr;
    (last_ ? last_->nextInSession_ : first_) = &object;
    last_ = &object;
    ++count_;
}

void ObjectRegistry::remove(HostObject& object) noexcept
{
    (object.previousInSession_ ? object.previousInSession_->nextInSession_ : first_) = object.nextInSession_;
    (object.nextInSession_ ? object.nextInSession_->previousInSession_ : last_) = object.previousInSession_;
    object.session_ = nullptr;
    object.previousInSession_ = nullptr;
    object.nextInSession_ = nullptr;
    --count_;
}

void ObjectRegistry::dropAll() noexcept
{
    // All held first, so that none goes while the values are dropped: a
    // value dropped may be the last reference to another object of the
    // list.  Objects outside the list (a match collection, the host's own)
    // may go meanwhile; none joins.
    for (HostObject* object = first_; object; object = object->nextInSession_)
        object->addRef();
    for (HostObject* object = first_; object; object = object->nextInSession_)
        object->dropValues();
    // Then each leaves and is let go: empty, it frees nothing but itself.
    while (first_) {
        HostObject* object = first_;
        remove(*object);
        object->release();
    }
}

} // namespace quillet::script
