#include "model/ClassReaderRegistration.h"
#include "model/ClassReaderRegistries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/QueuedStream.h"
#include "support/registration_probe/RegistrationProbe.h"

namespace {

// Stand-ins for a registry base and two registered classes. The real bases are defined by the
// scene runtime; the reader templates are the same whatever the base.
struct TestShape {
    virtual ~TestShape() = default;
    int32_t m_version = -1;
    int32_t m_size = 0;
};

// Reads its fields the common way, through LoadFields.
struct TestCircle : TestShape {
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version)
    {
        m_version = version;
        if (version > 1)
            stream.ReadInt(m_size);
    }
};

// Reads its fields through a loader with another name and argument order.
struct TestSquare : TestShape {
    void Load(int32_t version, Vo_IOF_Virtual& stream)
    {
        m_version = version;
        stream.ReadInt(m_size);
    }
};

}  // namespace

template <>
struct ClassRecordFields<TestSquare> {
    static void Read(TestSquare& object, Vo_IOF_Virtual& stream, int32_t version)
    {
        object.Load(version, stream);
    }
};

namespace {

class TestShapeRegistry : public ::testing::Test {
protected:
    TestShapeRegistry()
    {
        m_registry[L"TestCircle"] = &m_circleReader;
        m_registry[L"TestSquare"] = &m_squareReader;
    }

    IOF_Virtual_ReaderT_II<TestCircle, TestShape> m_circleReader;
    IOF_Virtual_ReaderT_II<TestSquare, TestShape> m_squareReader;
    ClassReaderRegistry<TestShape> m_registry;
};

TEST_F(TestShapeRegistry, CreatesTheNamedClassAndReadsItsFieldsForTheRecordVersion)
{
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"TestCircle"}).Push(QueuedStream::Int{2}).Push(QueuedStream::Int{17});
    stream.Push(QueuedStream::String{L"TestSquare"}).Push(QueuedStream::Int{5}).Push(QueuedStream::Int{23});

    std::unique_ptr<TestShape> circle(ReadRegisteredRecord(stream, m_registry));
    std::unique_ptr<TestShape> square(ReadRegisteredRecord(stream, m_registry));

    ASSERT_NE(dynamic_cast<TestCircle*>(circle.get()), nullptr);
    EXPECT_EQ(circle->m_version, 2);
    EXPECT_EQ(circle->m_size, 17);
    ASSERT_NE(dynamic_cast<TestSquare*>(square.get()), nullptr);
    EXPECT_EQ(square->m_version, 5);
    EXPECT_EQ(square->m_size, 23);
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_FALSE(stream.Failed());
}

TEST_F(TestShapeRegistry, TheVersionDecidesWhichFieldsAreRead)
{
    // A version-1 circle has no size: the next record's header must stay unread.
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"TestCircle"}).Push(QueuedStream::Int{1});
    stream.Push(QueuedStream::String{L"TestSquare"});

    std::unique_ptr<TestShape> circle(ReadRegisteredRecord(stream, m_registry));

    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->m_size, 0);
    EXPECT_EQ(stream.Remaining(), 1u);
}

TEST_F(TestShapeRegistry, UnknownNamesGiveNullAndLeaveTheStreamAfterNameAndVersion)
{
    const vo_string unknown[] = {
        L"testcircle",   // letter case differs
        L"TESTCIRCLE",
        L"TestCircl",    // a proper prefix of a registered name
        L"TestCircle ",  // a registered name with more after it
        L"TestTriangle",
    };
    for (const vo_string& name : unknown) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        QueuedStream stream;
        stream.Push(QueuedStream::String{name}).Push(QueuedStream::Int{3});
        stream.Push(QueuedStream::Int{17}).Push(QueuedStream::Float{2.0f});

        EXPECT_EQ(ReadRegisteredRecord(stream, m_registry), nullptr);

        // The unknown record's fields are not skipped: the next read starts inside them.
        EXPECT_EQ(stream.Remaining(), 2u);
        EXPECT_FALSE(stream.Failed());
    }
}

TEST_F(TestShapeRegistry, AnEmptyStoredNameIsUnknown)
{
    // An empty stored string leaves the scratch name empty; no class is registered under it.
    QueuedStream stream;
    stream.Push(QueuedStream::String{L""}).Push(QueuedStream::Int{1}).Push(QueuedStream::Int{17});

    EXPECT_EQ(ReadRegisteredRecord(stream, m_registry), nullptr);
    EXPECT_EQ(stream.Remaining(), 1u);
}

TEST_F(TestShapeRegistry, AStreamThatFailsInTheHeaderCreatesNothing)
{
    // The name is registered but the version is missing: the reader must not run on a version
    // the record never held.
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"TestSquare"});

    EXPECT_EQ(ReadRegisteredRecord(stream, m_registry), nullptr);
    EXPECT_TRUE(stream.Failed());
}

TEST(RegisterClassReaderTest, RegistersOncePerFlagAndANewFlagReplacesTheReader)
{
    ClassReaderRegistry<TestShape> registry;
    IOF_Virtual_ReaderT_II<TestCircle, TestShape> first;
    IOF_Virtual_ReaderT_II<TestSquare, TestShape> second;
    bool firstRegistered = false;
    bool secondRegistered = false;

    RegisterClassReader<TestShape>(registry, L"Shape", first, firstRegistered);
    EXPECT_TRUE(firstRegistered);
    EXPECT_EQ(registry[L"Shape"], &first);

    // The same class registering again (the flag is set) changes nothing.
    registry[L"Shape"] = nullptr;
    RegisterClassReader<TestShape>(registry, L"Shape", first, firstRegistered);
    EXPECT_EQ(registry[L"Shape"], nullptr);

    registry[L"Shape"] = &first;
    RegisterClassReader<TestShape>(registry, L"Shape", second, secondRegistered);
    EXPECT_EQ(registry[L"Shape"], &second);
    EXPECT_EQ(registry.size(), 1u);
}

// The probe's object file is linked like a source folder's and referenced by nothing.
TEST(ClassReaderRegistriesTest, AClassRegisteredAtStaticInitialisationIsInItsRegistry)
{
    const ConstructorReaderRegistry& registry = GetConstructorReaderRegistry();
    const auto entry = registry.find(kRegistrationProbeName);
    ASSERT_NE(entry, registry.end());
    EXPECT_NE(entry->second, nullptr);
    EXPECT_EQ(GetLightReaderRegistry().count(kRegistrationProbeName), 0u);
    EXPECT_EQ(GetSlideReaderRegistry().count(kRegistrationProbeName), 0u);
}

TEST(ClassReaderRegistriesTest, ReadConstructorRecordHandsTheStreamToTheRegisteredReader)
{
    // The probe's reader reads one int: the stream shows that the lookup reached it.
    QueuedStream stream;
    stream.Push(QueuedStream::String{kRegistrationProbeName}).Push(QueuedStream::Int{1});
    stream.Push(QueuedStream::Int{99});

    EXPECT_EQ(ReadConstructorRecord(stream), nullptr);
    EXPECT_EQ(stream.Remaining(), 0u);
    EXPECT_FALSE(stream.Failed());
}

TEST(ClassReaderRegistriesTest, NamesUnknownToARegistryGiveNullAfterNameAndVersion)
{
    struct Case {
        const wchar_t* registry;
        const wchar_t* name;
    };
    const Case cases[] = {
        {L"constructor", L"Vo_fireFX"},          // a registered name in other letter case
        {L"constructor", L"VO_FIREFX"},
        {L"constructor", L"Vo_UnderwaterFX"},    // held only inside the underwater layer
        {L"constructor", L"Vo_AirBrush"},        // a base level only
        {L"constructor", L"Vo_2D_Light"},        // a layer: no fallback between registries
        {L"constructor", L"RegistrationProbe "},
        {L"light", L"Vo_FireFX"},
        {L"light", L"RegistrationProbe"},
        {L"light", L"vo_2d_light"},
        {L"slide", L"Vo_SlideShow_Light"},       // the root is read directly
        {L"slide", L"vo_slidecontainer"},
    };
    for (const Case& c : cases) {
        const vo_string name = c.name;
        const vo_string which = c.registry;
        SCOPED_TRACE(std::string(which.begin(), which.end()) + " " + std::string(name.begin(), name.end()));
        QueuedStream stream;
        stream.Push(QueuedStream::String{name}).Push(QueuedStream::Int{3}).Push(QueuedStream::Int{99});

        if (which == L"constructor")
            EXPECT_EQ(ReadConstructorRecord(stream), nullptr);
        else if (which == L"light")
            EXPECT_EQ(ReadLight2DRecord(stream), nullptr);
        else
            EXPECT_EQ(ReadSlideRecord(stream), nullptr);

        EXPECT_EQ(stream.Remaining(), 1u);
        EXPECT_FALSE(stream.Failed());
    }
}

// The names that documents store, registry by registry.
const wchar_t* const kLightNames[] = {
    L"Vo_2D_Light", L"Vo_FlameLight", L"Vo_GlassBallLight", L"Vo_MatrixCodeLight",
    L"FakeUndervater", L"FakeLake2D", L"Vo_WaterRingLight",
};
const wchar_t* const kSlideNames[] = {L"Vo_SlideContainer"};
const wchar_t* const kConstructorNames[] = {
    L"Vo_GodRayConstructor", L"Vo_SparkleConstructor", L"Vo_FlowConstructor",
    L"Vo_FishConstructor", L"Vo_GhostConstructor", L"Vo_FogConstructor",
    L"Vo_LightingConstructor", L"Vo_GrassConstructor", L"Vo_RainConstructor",
    L"Vo_StatObjConstructor", L"Vo_FlowerConstructor", L"Vo_BirdConstructor",
    L"Vo_DischargeConstructor", L"Vo_DischargeFXConstructor", L"Vo_ButterflyConstructor",
    L"Vo_ClockConstructor", L"Vo_Bling", L"Vo_BackgroundCopy", L"Vo_WavesFX", L"Vo_LightFX",
    L"Vo_PatternBrush", L"Vo_PatternBrushC", L"Vo_WaterFX", L"Vo_MoveFX", L"Vo_FireFX",
    L"Vo_ExpandFX", L"Vo_RadialWaveFX", L"Vo_RotationFX", L"Vo_WaterfallFX", L"Vo_BendFX",
    L"Vo_LightFX_II", L"Vo_CloudFX", L"Vo_ExplosionConstructor", L"Vo_LightningGN", L"Vo_Plant",
    L"Vo_RadialRays", L"Vo_Smoke", L"Vo_StaticAnimation", L"Vo_StaticTextConstructor",
    L"Vo_3D_in_2D_array_Constructor", L"Vo_MP3_Constructor", L"Vo_WAV_Constructor",
};

std::string Joined(const std::set<vo_string>& names)
{
    std::string list;
    for (const vo_string& name : names)
        list += " " + std::string(name.begin(), name.end());
    return list;
}

// Every registered name is one of the table (the probe aside) and has a reader, and every name of
// the table is registered: a lost registration fails.
template <class Registry, size_t N>
void CheckTable(const char* title, const Registry& registry, const wchar_t* const (&names)[N])
{
    std::set<vo_string> table(std::begin(names), std::end(names));
    ASSERT_EQ(table.size(), N) << title << ": the table repeats a name";

    for (const auto& entry : registry) {
        if (entry.first == kRegistrationProbeName)
            continue;
        EXPECT_EQ(table.count(entry.first), 1u)
            << title << " holds an unexpected name: " << std::string(entry.first.begin(), entry.first.end());
        EXPECT_NE(entry.second, nullptr);
    }

    std::set<vo_string> missing;
    for (const vo_string& name : table)
        if (registry.count(name) == 0)
            missing.insert(name);
    EXPECT_TRUE(missing.empty()) << title << " does not register" << Joined(missing);
}

TEST(ClassReaderRegistriesTest, RegistriesHoldExactlyTheNamesDocumentsStore)
{
    static_assert(sizeof(kLightNames) / sizeof(kLightNames[0]) == 7, "seven layer classes");
    static_assert(sizeof(kSlideNames) / sizeof(kSlideNames[0]) == 1, "one slide class");
    static_assert(sizeof(kConstructorNames) / sizeof(kConstructorNames[0]) == 42, "42 scene-object classes");
    CheckTable("light registry", GetLightReaderRegistry(), kLightNames);
    CheckTable("slide registry", GetSlideReaderRegistry(), kSlideNames);
    CheckTable("scene-object registry", GetConstructorReaderRegistry(), kConstructorNames);
}

}  // namespace
