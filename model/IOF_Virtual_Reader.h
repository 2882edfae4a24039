#pragma once
#include <cstdint>
#include <memory>

#include "model/Vo_IOF_Virtual.h"

class Vo_ABObj_Constructor;

// The reader of one registered class: given the stream positioned right after the record's class
// name and version, it creates an object of that class, reads the class's fields for that version
// and hands the object to the caller, who owns it. One static reader object exists per registered
// class; the registries keep pointers to them.
//
// B is the base through which the registry hands objects out: the layer base, the slide class or
// the scene-object description base.
template <class B>
class IOF_Virtual_ReaderII {
public:
    using Base = B;

    virtual ~IOF_Virtual_ReaderII() = default;
    virtual B* CreateObject(Vo_IOF_Virtual& stream, int32_t version) = 0;
};

// How a registered class C reads its own fields once its name and version are read. Most classes
// call this LoadFields (stream, version); a class whose reader goes by another name, or takes its
// arguments in another order, specialises this template in its .cpp before it registers.
template <class C>
struct ClassRecordFields {
    static void Read(C& object, Vo_IOF_Virtual& stream, int32_t version)
    {
        object.LoadFields(stream, version);
    }
};

// The reader of class C handed out as its registry base B. C is needed in full only where the
// reader is instantiated, which is the registering class's own .cpp.
template <class C, class B>
class IOF_Virtual_ReaderT_II : public IOF_Virtual_ReaderII<B> {
public:
    B* CreateObject(Vo_IOF_Virtual& stream, int32_t version) override
    {
        // Held until the fields are read, so that a throwing constructor or field reader does not
        // leak the half-made object.
        std::unique_ptr<C> object(new C());
        ClassRecordFields<C>::Read(*object, stream, version);
        return object.release();
    }
};

// Scene-object descriptions are read through the same machinery with Vo_ABObj_Constructor as the
// base; the aliases keep the names that scene-object classes register with.
using IOF_Virtual_Reader = IOF_Virtual_ReaderII<Vo_ABObj_Constructor>;
template <class C>
using IOF_Virtual_ReaderT = IOF_Virtual_ReaderT_II<C, Vo_ABObj_Constructor>;
