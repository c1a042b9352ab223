// An instance of a script class (`New clsItem`), and a reference to a
// script procedure (GetRef).  Both reach their runtime through a shared
// link that the runtime clears when it goes away, so a host holding on to
// one after a reset gets an error rather than a crash.
#pragma once

#include "script/core/ast.h"
#include "script/host_object.h"
#include "script/metered.h"

#include <memory>
#include <vector>

namespace quillet::script {

struct RuntimeLink;

class ScriptObject final : public HostObject {
public:
    ScriptObject(ClassDef& cls, std::shared_ptr<RuntimeLink> link, std::shared_ptr<const CodeUnit> unit);

    Text typeName() const override { return cls_.name; }
    // Public members only; Me-access inside the class bypasses this.
    int findMember(TextView name) const override;
    const void* memberTable() const override { return &cls_; }
    Value invoke(int member, Access access, std::span<Value> args) override;

    ClassDef& cls() const { return cls_; }
    Value& field(int index) { return fields_[static_cast<size_t>(index)]; }

    // Runs Class_Terminate unless it has run (or the runtime is gone):
    // when the last reference goes, or when the session ends with the
    // object still referenced.  The caller holds the object.
    void terminate() noexcept;

protected:
    // Runs Class_Terminate before the object goes.
    void lastReleased() noexcept override;
    void dropValues() noexcept override;

private:
    ClassDef& cls_;
    // The instance and its fields' slots, charged before they are made.
    MemoryCharge charge_;
    std::vector<Value> fields_;
    std::shared_ptr<RuntimeLink> link_;
    std::shared_ptr<const CodeUnit> unit_; // keeps the class definition alive
    bool terminated_ = false;
};

// What GetRef returns: calling its default member calls the procedure.
class ProcedureRef final : public HostObject {
public:
    ProcedureRef(Procedure& proc, std::shared_ptr<RuntimeLink> link, std::shared_ptr<const CodeUnit> unit)
        : proc_(proc), link_(std::move(link)), unit_(std::move(unit))
    {
    }
    Text typeName() const override { return u"Object"; }
    int findMember(TextView) const override { return kNoMember; }
    Value invoke(int member, Access access, std::span<Value> args) override;

private:
    Procedure& proc_;
    std::shared_ptr<RuntimeLink> link_;
    std::shared_ptr<const CodeUnit> unit_;
};

} // namespace quillet::script
