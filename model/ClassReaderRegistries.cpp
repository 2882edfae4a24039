#include "model/ClassReaderRegistries.h"

// The registries are function-local statics: built on the first call, which is the first
// registration's, and destroyed by the runtime's exit handlers (registered through atexit) after
// every later-constructed static has gone. Nothing reads a registry during exit, and destroying it
// frees only the map; the reader objects are statics of their own.

LightReaderRegistry& GetLightReaderRegistry()
{
    static LightReaderRegistry s_registry;
    return s_registry;
}

SlideReaderRegistry& GetSlideReaderRegistry()
{
    static SlideReaderRegistry s_registry;
    return s_registry;
}

ConstructorReaderRegistry& GetConstructorReaderRegistry()
{
    static ConstructorReaderRegistry s_registry;
    return s_registry;
}

Vo_2D_Light* ReadLight2DRecord(Vo_IOF_Virtual& stream)
{
    return ReadRegisteredRecord(stream, GetLightReaderRegistry());
}

Vo_SlideContainer* ReadSlideRecord(Vo_IOF_Virtual& stream)
{
    return ReadRegisteredRecord(stream, GetSlideReaderRegistry());
}

Vo_ABObj_Constructor* ReadConstructorRecord(Vo_IOF_Virtual& stream)
{
    return ReadRegisteredRecord(stream, GetConstructorReaderRegistry());
}
