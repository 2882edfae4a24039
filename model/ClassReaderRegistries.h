#pragma once
#include <cstdint>
#include <map>

#include "model/IOF_Virtual_Reader.h"
#include "model/Vo_IOF_Virtual.h"
#include "model/vo_string.h"

class Vo_2D_Light;
class Vo_SlideContainer;
class Vo_ABObj_Constructor;

// A registry maps the class name that a record begins with to the reader of that class. Names
// compare as sequences of 16-bit code units, exactly and case-sensitively (wchar_t is an unsigned
// 16-bit unit on this platform). The registries do not own their readers.
template <class B>
using ClassReaderRegistry = std::map<vo_string, IOF_Virtual_ReaderII<B>*>;

using LightReaderRegistry = ClassReaderRegistry<Vo_2D_Light>;
using SlideReaderRegistry = ClassReaderRegistry<Vo_SlideContainer>;
using ConstructorReaderRegistry = ClassReaderRegistry<Vo_ABObj_Constructor>;

// Each registry is made on first use, so it exists before the first registration whatever order
// the static initialisers of the program run in, and is destroyed at process exit.
LightReaderRegistry& GetLightReaderRegistry();
SlideReaderRegistry& GetSlideReaderRegistry();
ConstructorReaderRegistry& GetConstructorReaderRegistry();

// Reads a record header (class name, version) and lets the registered reader create and read the
// object. An unknown name gives null and leaves the stream right after the name and version:
// records carry no length, so nothing of the unknown record can be skipped. A stream that failed
// while reading the header gives null as well, since its name and version are not the record's.
template <class B>
B* ReadRegisteredRecord(Vo_IOF_Virtual& stream, const ClassReaderRegistry<B>& registry)
{
    vo_string name;
    int32_t version = 0;
    stream.ReadString(name);
    stream.ReadInt(version);
    if (stream.Failed())
        return nullptr;
    const auto entry = registry.find(name);
    if (entry == registry.end())
        return nullptr;
    return entry->second->CreateObject(stream, version);
}

// The three lookups of the document reader: a slide's layer, a slide of the show, and a scene
// object of a slide. There is no fallback between registries.
Vo_2D_Light* ReadLight2DRecord(Vo_IOF_Virtual& stream);
Vo_SlideContainer* ReadSlideRecord(Vo_IOF_Virtual& stream);
Vo_ABObj_Constructor* ReadConstructorRecord(Vo_IOF_Virtual& stream);
