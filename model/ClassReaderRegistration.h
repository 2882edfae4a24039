#pragma once
#include "model/ClassReaderRegistries.h"

// Stores registry[name] = &reader unless the flag says this class has registered already. A name
// that is present already takes the new reader.
template <class B>
void RegisterClassReader(ClassReaderRegistry<B>& registry, const vo_string& name,
                         IOF_Virtual_ReaderII<B>& reader, bool& registered)
{
    if (registered)
        return;
    registered = true;
    registry[name] = &reader;
}

// The registry that readers handing out B belong to.
inline LightReaderRegistry& RegistryForReader(const IOF_Virtual_ReaderII<Vo_2D_Light>*)
{
    return GetLightReaderRegistry();
}
inline SlideReaderRegistry& RegistryForReader(const IOF_Virtual_ReaderII<Vo_SlideContainer>*)
{
    return GetSlideReaderRegistry();
}
inline ConstructorReaderRegistry& RegistryForReader(const IOF_Virtual_ReaderII<Vo_ABObj_Constructor>*)
{
    return GetConstructorReaderRegistry();
}

// Registers the reader type Reader under a class name when constructed. A registering class
// defines one of these at namespace scope in its own .cpp, so the constructor runs as a static
// initialiser before the program's entry point. Folders are linked whole (OBJECT libraries), so
// the object file survives the link although nothing references it.
//
// The reader object and the once-flag are statics of this instantiation: one per reader type,
// shared by every registration object of that type.
template <class Reader>
class ClassReaderRegistration {
public:
    explicit ClassReaderRegistration(const wchar_t* name)
    {
        static Reader s_reader;
        static bool s_registered = false;
        RegisterClassReader(RegistryForReader(&s_reader), vo_string(name), s_reader, s_registered);
    }
};

// One line in a registered class's .cpp, after the class is defined; the class name is the name
// that documents store. A class C needs a default constructor and ClassRecordFields<C>.
#define VO_REGISTER_CONSTRUCTOR_READER(C) \
    static const ClassReaderRegistration<IOF_Virtual_ReaderT<C>> s_readerRegistration_##C(L"" #C)
#define VO_REGISTER_LIGHT_READER(C) \
    static const ClassReaderRegistration<IOF_Virtual_ReaderT_II<C, Vo_2D_Light>> \
        s_readerRegistration_##C(L"" #C)
#define VO_REGISTER_SLIDE_READER(C) \
    static const ClassReaderRegistration<IOF_Virtual_ReaderT_II<C, Vo_SlideContainer>> \
        s_readerRegistration_##C(L"" #C)
