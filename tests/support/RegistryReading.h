#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "model/ClassReaderRegistries.h"
#include "model/IOF_Virtual_Reader.h"
#include "runtime/Vo_ABObj_Constructor.h"
#include "support/QueuedStream.h"

// Reads a scene-object record through the reader registered under `name`, as a document does
// after the record's class name and version; the stream must end exactly at the record's end.
// Null (with a failure) when the name is not registered or the object is not a C.
template <class C>
std::unique_ptr<C> ReadObjectThroughRegistry(const wchar_t* name, QueuedStream& stream, int32_t version)
{
    ConstructorReaderRegistry& registry = GetConstructorReaderRegistry();
    EXPECT_TRUE(registry.count(name)) << "not registered";
    if (!registry.count(name))
        return nullptr;
    std::unique_ptr<Vo_ABObj_Constructor> read(registry[name]->CreateObject(stream, version));
    EXPECT_FALSE(stream.Failed());
    EXPECT_EQ(stream.Remaining(), 0u) << "fields left unread";
    std::unique_ptr<C> typed(dynamic_cast<C*>(read.get()));
    if (typed)
        read.release();
    EXPECT_TRUE(typed) << "the reader made another class";
    return typed;
}
