#pragma once
// The callback controls that a ParamBindingList makes: Vo_FunLightCtrl<T, C> calls a member of
// its owner with the parameter's new value, Vo_FunLightCtrl2<C> calls a member without
// arguments. Neither passes the sender on.
#include "model/MediaParamT.h"

template <class T, class C>
class Vo_FunLightCtrl : public MediaControlT<MediaParamTB<T>> {
public:
    using Member = void (C::*)(T);

    Vo_FunLightCtrl(Member member, C* owner) : m_member(member), m_owner(owner) {}

    // A control whose parameter is gone has no value to pass and stays quiet.
    void OnParamChanged(MediaControl*) override
    {
        if (this->m_param && m_owner && m_member)
            (m_owner->*m_member)(this->m_param->Value());
    }

private:
    Member m_member;
    C* m_owner;
};

template <class C>
class Vo_FunLightCtrl2 : public MediaControl {
public:
    using Member = void (C::*)();

    Vo_FunLightCtrl2(Member member, C* owner) : m_member(member), m_owner(owner) {}
    Vo_FunLightCtrl2(const Vo_FunLightCtrl2&) = delete;
    Vo_FunLightCtrl2& operator=(const Vo_FunLightCtrl2&) = delete;
    ~Vo_FunLightCtrl2() override
    {
        if (m_param)
            m_param->DetachControl(this);
    }

    void Attach(MediaParam* param)
    {
        if (m_param)
            m_param->DetachControl(this);
        m_param = param;
        if (m_param)
            m_param->AttachControl(this);
    }
    MediaParam* WatchedParam() const { return m_param; }

    void ForgetParam() override { m_param = nullptr; }
    void OnParamChanged(MediaControl*) override
    {
        if (m_owner && m_member)
            (m_owner->*m_member)();
    }

private:
    Member m_member;
    C* m_owner;
    MediaParam* m_param = nullptr;
};
