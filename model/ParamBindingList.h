#pragma once
#include <memory>
#include <stdexcept>
#include <vector>

#include "model/Vo_FunLightCtrl.h"

// Keeps a bound member's argument type out of deduction: T comes from the parameter alone.
template <class T>
struct ParamBindingArg {
    using Type = T;
};

// The callback controls that an object binds to its parameters, created and destroyed with the
// object. The object builds the list after its parameters, makes itself the owner, binds, and the
// list (destroyed before the parameters) detaches every control it made.
class ParamBindingList {
public:
    ParamBindingList() = default;
    ParamBindingList(const ParamBindingList&) = delete;
    ParamBindingList& operator=(const ParamBindingList&) = delete;
    // Destroys the controls in creation order (each leaves its parameter's list), then the owner
    // when the list owns it.
    ~ParamBindingList();

    // The owner's class is the class whose members are bound; a derived class that binds members
    // of a base names the class explicitly: BindValue<Derived>(param, &Derived::BaseMember).
    template <class C>
    void SetOwner(C* owner, bool owns = false)
    {
        m_owner = owner;
        m_ownerType = OwnerType<C>();
        m_deleteOwner = [](void* object) { delete static_cast<C*>(object); };
        m_owns = owns;
    }
    void SetOwns(bool owns) { m_owns = owns; }

    // Binds a member taking the parameter's value; the member runs once at once with the current
    // value, and again on every change.
    template <class C, class T>
    void BindValue(MediaParamTB<T>& param, void (C::*member)(typename ParamBindingArg<T>::Type))
    {
        auto control = std::make_unique<Vo_FunLightCtrl<T, C>>(member, OwnerAs<C>());
        control->Attach(&param);
        control->OnParamChanged(nullptr);
        Append(std::move(control));
    }

    // Binds a member taking nothing; it first runs at the parameter's first change.
    template <class C>
    void BindNotify(MediaParam& param, void (C::*member)())
    {
        auto control = std::make_unique<Vo_FunLightCtrl2<C>>(member, OwnerAs<C>());
        control->Attach(&param);
        Append(std::move(control));
    }

    const std::vector<MediaControl*>& Controls() const { return m_controls; }

private:
    template <class C>
    static const void* OwnerType()
    {
        static const char token = 0;
        return &token;
    }

    // A member of another class than the owner's would be called on a wrongly typed object.
    template <class C>
    C* OwnerAs() const
    {
        if (!m_owner)
            throw std::logic_error("ParamBindingList: bind without an owner");
        if (m_ownerType != OwnerType<C>())
            throw std::logic_error("ParamBindingList: bound member is not of the owner's class");
        return static_cast<C*>(m_owner);
    }

    void Append(std::unique_ptr<MediaControl> control);

    void* m_owner = nullptr;
    const void* m_ownerType = nullptr;
    void (*m_deleteOwner)(void*) = nullptr;
    bool m_owns = true;
    std::vector<MediaControl*> m_controls;
};
