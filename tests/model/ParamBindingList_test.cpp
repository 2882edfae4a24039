#include "model/ParamBindingList.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// An object that binds its callbacks the way scene objects do: parameters first, then the list.
class Binder {
public:
    explicit Binder(std::vector<std::string>& log) : m_log(log) {}
    virtual ~Binder() = default;

    void OnCount(unsigned int count) { m_log.push_back("count " + std::to_string(count)); }
    void OnOffset(int offset) { m_log.push_back("offset " + std::to_string(offset)); }
    void OnName(vo_string name) { m_log.push_back("name " + std::to_string(name.size())); }
    void OnAnyChange() { m_log.push_back("changed"); }

protected:
    std::vector<std::string>& m_log;
};

class DerivedBinder : public Binder {
public:
    using Binder::Binder;
    void OnDerived() { m_log.push_back("derived"); }
};

// Tells the test when it is destroyed.
class OwnedObject {
public:
    explicit OwnedObject(bool& destroyed) : m_destroyed(destroyed) {}
    ~OwnedObject() { m_destroyed = true; }
    void OnChange() {}

private:
    bool& m_destroyed;
};

}  // namespace

TEST(ParamBindingListTest, BindValueCallsAtOnceAndBindNotifyOnlyOnChange)
{
    std::vector<std::string> log;
    Binder owner(log);
    MediaParamT<unsigned int> count(7);
    MediaParamT<int> offset(-3);
    MediaParamT<vo_string> name(L"abc");
    ParamBindingList bindings;
    bindings.SetOwner(&owner);

    bindings.BindValue(count, &Binder::OnCount);
    bindings.BindNotify(count, &Binder::OnAnyChange);
    bindings.BindValue(offset, &Binder::OnOffset);
    bindings.BindValue(name, &Binder::OnName);
    EXPECT_EQ(log, (std::vector<std::string>{"count 7", "offset -3", "name 3"}));

    log.clear();
    count.SetValue(8);
    count.SetValue(8);  // unchanged: no call
    name.SetValue(L"abcd");
    EXPECT_EQ(log, (std::vector<std::string>{"count 8", "changed", "name 4"}));
    EXPECT_EQ(bindings.Controls().size(), 4u);
}

TEST(ParamBindingListTest, BoundControlAsSenderIsSkipped)
{
    std::vector<std::string> log;
    Binder owner(log);
    MediaParamT<unsigned int> count;
    ParamBindingList bindings;
    bindings.SetOwner(&owner);
    bindings.BindValue(count, &Binder::OnCount);
    bindings.BindNotify(count, &Binder::OnAnyChange);
    log.clear();

    count.SetValue(2, bindings.Controls()[0]);
    EXPECT_EQ(log, (std::vector<std::string>{"changed"}));
}

TEST(ParamBindingListTest, ListDestroyedFirstDetachesEveryControl)
{
    std::vector<std::string> log;
    Binder owner(log);
    MediaParamT<unsigned int> count;
    MediaParam any;
    {
        ParamBindingList bindings;
        bindings.SetOwner(&owner);
        bindings.BindValue(count, &Binder::OnCount);
        bindings.BindNotify(any, &Binder::OnAnyChange);
        bindings.BindNotify(count, &Binder::OnAnyChange);
    }
    EXPECT_TRUE(count.Controls().empty());
    EXPECT_TRUE(any.Controls().empty());
    log.clear();
    count.SetValue(5);
    any.NotifyControls(nullptr);
    EXPECT_TRUE(log.empty());
}

TEST(ParamBindingListTest, ParametersDestroyedFirstLeaveQuietControls)
{
    std::vector<std::string> log;
    Binder owner(log);
    ParamBindingList bindings;
    bindings.SetOwner(&owner);
    {
        MediaParamT<unsigned int> count;
        MediaParam any;
        bindings.BindValue(count, &Binder::OnCount);
        bindings.BindNotify(any, &Binder::OnAnyChange);
    }
    auto* valueControl = static_cast<Vo_FunLightCtrl<unsigned int, Binder>*>(bindings.Controls()[0]);
    auto* notifyControl = static_cast<Vo_FunLightCtrl2<Binder>*>(bindings.Controls()[1]);
    EXPECT_EQ(valueControl->WatchedParam(), nullptr);
    EXPECT_EQ(notifyControl->WatchedParam(), nullptr);
    log.clear();
    // A control without its parameter has no value to pass on.
    valueControl->OnParamChanged(nullptr);
    EXPECT_TRUE(log.empty());
    // The list's destruction must not reach the destroyed parameters.
}

TEST(ParamBindingListTest, OwnedOwnerIsDestroyedWithTheList)
{
    struct Case {
        const char* name;
        bool owns;
        bool destroyed;
    };
    const Case cases[] = {
        {"owning list deletes its owner", true, true},
        {"member list leaves its owner", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool destroyed = false;
        OwnedObject* object = new OwnedObject(destroyed);
        MediaParam param;
        {
            ParamBindingList bindings;
            bindings.SetOwner(object, c.owns);
            bindings.BindNotify(param, &OwnedObject::OnChange);
        }
        EXPECT_EQ(destroyed, c.destroyed);
        EXPECT_TRUE(param.Controls().empty());
        if (!destroyed)
            delete object;
    }
    // Built with no owner, the list owns nothing to delete.
    ParamBindingList empty;
}

TEST(ParamBindingListTest, MemberOfAnotherClassIsRefused)
{
    std::vector<std::string> log;
    DerivedBinder derived(log);
    MediaParam param;
    MediaParamT<unsigned int> count(1);

    ParamBindingList unowned;
    EXPECT_THROW(unowned.BindNotify(param, &Binder::OnAnyChange), std::logic_error);

    ParamBindingList bindings;
    bindings.SetOwner(&derived);
    EXPECT_THROW(bindings.BindNotify(param, &Binder::OnAnyChange), std::logic_error);
    EXPECT_TRUE(param.Controls().empty());
    EXPECT_TRUE(bindings.Controls().empty());

    // Naming the owner's class binds a member inherited from a base.
    bindings.BindNotify<DerivedBinder>(param, &DerivedBinder::OnAnyChange);
    bindings.BindNotify(param, &DerivedBinder::OnDerived);
    bindings.BindValue<DerivedBinder>(count, &DerivedBinder::OnCount);
    param.NotifyControls(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"count 1", "changed", "derived"}));
}
