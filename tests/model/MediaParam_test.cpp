#include "model/MediaParam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "model/MediaParamT.h"

namespace {

struct Call {
    int id;
    MediaControl* sender;
};

// Logs every notification into a log shared by the controls of one test.
class RecordingControl : public MediaControlT<MediaParam> {
public:
    RecordingControl(int id, std::vector<Call>& log) : m_id(id), m_log(log) {}
    void OnParamChanged(MediaControl* sender) override { m_log.push_back({m_id, sender}); }
    void ForgetParam() override
    {
        m_log.push_back({-m_id, nullptr});
        MediaControlT<MediaParam>::ForgetParam();
    }

private:
    int m_id;
    std::vector<Call>& m_log;
};

std::vector<int> Ids(const std::vector<Call>& log)
{
    std::vector<int> ids;
    for (const Call& call : log)
        ids.push_back(call.id);
    return ids;
}

}  // namespace

TEST(MediaParamTest, SetValueNotifiesEveryControlButTheSenderInAttachmentOrder)
{
    struct Case {
        const char* name;
        unsigned int newValue;
        int sender;  // 1..3 a control of the list, 0 none, 9 a control of another parameter
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"same value tells nobody", 5, 0, {}},
        {"same value with a sender tells nobody", 5, 2, {}},
        {"null sender reaches all", 6, 0, {1, 2, 3}},
        {"first control as sender", 6, 1, {2, 3}},
        {"middle control as sender", 6, 2, {1, 3}},
        {"last control as sender", 6, 3, {1, 2}},
        {"foreign sender reaches all", 6, 9, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Call> log;
        MediaParamT<unsigned int> param(5);
        RecordingControl one(1, log), two(2, log), three(3, log), foreign(9, log);
        one.Attach(&param);
        two.Attach(&param);
        three.Attach(&param);
        MediaControl* senders[] = {nullptr, &one, &two, &three};
        MediaControl* sender = c.sender == 9 ? &foreign : senders[c.sender];

        param.SetValue(c.newValue, sender);

        EXPECT_EQ(param.Value(), c.newValue);
        EXPECT_EQ(Ids(log), c.expected);
        for (const Call& call : log)
            EXPECT_EQ(call.sender, sender);  // the sender is passed on unchanged
    }
}

TEST(MediaParamTest, DetachRemovesEveryEntryOfTheControlAndIgnoresAbsentOnes)
{
    std::vector<Call> log;
    MediaParam param;
    RecordingControl one(1, log), two(2, log), absent(3, log);
    param.AttachControl(&one);
    param.AttachControl(&two);
    param.AttachControl(&one);  // attached twice: no duplicate check

    param.DetachControl(&absent);
    EXPECT_EQ(param.Controls(), (std::vector<MediaControl*>{&one, &two, &one}));

    param.DetachControl(&one);
    EXPECT_EQ(param.Controls(), (std::vector<MediaControl*>{&two}));
}

TEST(MediaParamTest, ParameterDestroyedFirstMakesItsControlsForgetIt)
{
    std::vector<Call> log;
    RecordingControl one(1, log), two(2, log);
    {
        MediaParam param;
        one.Attach(&param);
        two.Attach(&param);
    }
    EXPECT_EQ(Ids(log), (std::vector<int>{-1, -2}));  // ForgetParam in list order
    EXPECT_EQ(one.WatchedParam(), nullptr);
    EXPECT_EQ(two.WatchedParam(), nullptr);
    // The controls' destructors now leave the freed parameter alone.
}

TEST(MediaParamTest, ControlsDestroyedFirstLeaveNoEntries)
{
    std::vector<Call> log;
    MediaParamT<int> param;
    RecordingControl stays(1, log);
    stays.Attach(&param);
    {
        RecordingControl goes(2, log);
        goes.Attach(&param);
    }
    EXPECT_EQ(param.Controls(), (std::vector<MediaControl*>{&stays}));
    param.SetValue(3);
    EXPECT_EQ(Ids(log), (std::vector<int>{1}));
}

TEST(MediaParamTest, ReattachingAControlLeavesItsFormerParameter)
{
    std::vector<Call> log;
    MediaParam first, second;
    auto control = std::make_unique<RecordingControl>(1, log);
    control->Attach(&first);
    control->Attach(&second);
    EXPECT_TRUE(first.Controls().empty());
    EXPECT_EQ(second.Controls(), (std::vector<MediaControl*>{control.get()}));
    control.reset();
    EXPECT_TRUE(second.Controls().empty());
}

TEST(MediaParamTest, CopyTakesTheValueButNotTheControls)
{
    std::vector<Call> log;
    MediaParamT<vo_string> source(L"glow");
    RecordingControl control(1, log);
    control.Attach(&source);

    MediaParamT<vo_string> copy(source);
    EXPECT_EQ(copy.Value(), L"glow");
    EXPECT_TRUE(copy.Controls().empty());
    copy.SetValue(L"other");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(source.Controls().size(), 1u);
}

TEST(MediaParamTest, DefaultValuesAreZero)
{
    EXPECT_EQ(MediaParamT<unsigned int>().Value(), 0u);
    EXPECT_EQ(MediaParamT<int>().Value(), 0);
    EXPECT_EQ(MediaParamT<unsigned long>().Value(), 0ul);
    EXPECT_EQ(MediaParamT<vo_string>().Value(), L"");
    const MediaParamTB<D3DXVECTOR3> vector;
    EXPECT_EQ(vector.Value().x, 0.0f);
    EXPECT_EQ(vector.Value().y, 0.0f);
    EXPECT_EQ(vector.Value().z, 0.0f);
    const MediaParamTB<tagPOINT> point;
    EXPECT_EQ(point.Value().x, 0);
    EXPECT_EQ(point.Value().y, 0);
}

TEST(MediaParamTest, StructuredValuesCompareMemberByMember)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct VectorCase {
        const char* name;
        D3DXVECTOR3 from, to;
        bool notifies;
    };
    const VectorCase vectorCases[] = {
        {"equal", {1, 2, 3}, {1, 2, 3}, false},
        {"z differs", {1, 2, 3}, {1, 2, 4}, true},
        {"x differs", {1, 2, 3}, {0, 2, 3}, true},
        {"NaN member always changes", {nan, 2, 3}, {nan, 2, 3}, true},
        {"negative zero equals zero", {0, 0, 0}, {-0.0f, 0, 0}, false},
    };
    for (const VectorCase& c : vectorCases) {
        SCOPED_TRACE(c.name);
        std::vector<Call> log;
        MediaParamTB<D3DXVECTOR3> param(c.from);
        RecordingControl control(1, log);
        control.Attach(&param);
        param.SetValue(c.to);
        EXPECT_EQ(log.size(), c.notifies ? 1u : 0u);
    }

    struct PointCase {
        const char* name;
        POINT from, to;
        bool notifies;
    };
    const PointCase pointCases[] = {
        {"equal", {4, -5}, {4, -5}, false},
        {"y differs", {4, -5}, {4, 5}, true},
        {"x differs", {4, -5}, {-4, -5}, true},
    };
    for (const PointCase& c : pointCases) {
        SCOPED_TRACE(c.name);
        std::vector<Call> log;
        MediaParamTB<tagPOINT> param(c.from);
        RecordingControl control(1, log);
        control.Attach(&param);
        param.SetValue(c.to);
        EXPECT_EQ(log.size(), c.notifies ? 1u : 0u);
    }

    // Strings compare by code units.
    std::vector<Call> log;
    MediaParamT<vo_string> text(L"Arial");
    RecordingControl control(1, log);
    control.Attach(&text);
    text.SetValue(vo_string(L"Arial"));
    EXPECT_TRUE(log.empty());
    text.SetValue(L"arial");
    EXPECT_EQ(log.size(), 1u);
}

TEST(MediaParamTest, DirectWritesNotifyNobody)
{
    std::vector<Call> log;
    MediaParamT<int> param;
    RecordingControl control(1, log);
    control.Attach(&param);
    param.ValueRef() = 42;
    EXPECT_EQ(param.Value(), 42);
    EXPECT_TRUE(log.empty());
    param.SetValue(42);  // already stored: still nobody
    EXPECT_TRUE(log.empty());
}
