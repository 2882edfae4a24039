#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "model/DataBuffer.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_IOF_Virtual.h"

// Reads that records share, built on the stream operations. Like the stream's own reads they
// leave their destination as it was when the stream fails part-way, so a caller that checks
// Failed() once per record never sees half a value.

// Reads a record's class name (ignored: records are read in a known order) and returns its
// version, which the caller hands to the class's field reader.
int32_t ReadRecordHeader(Vo_IOF_Virtual& stream);

// A GUID stored as its braced text form. Text the platform cannot convert leaves guid alone.
void ReadGuid(Vo_IOF_Virtual& stream, GUID& guid);

// A count, then that many floats appended to values (which is not cleared first).
void ReadFloatVector(Vo_IOF_Virtual& stream, std::vector<float>& values);

// A file blob read into a fresh empty blob that then replaces blob.
void ReadArchiveFileBlob(Vo_IOF_Virtual& stream, FileBlob& blob);

// A count, then that many file blobs (each as by ReadArchiveFileBlob) appended to blobs.
void ReadFileBlobVector(Vo_IOF_Virtual& stream, std::vector<FileBlob>& blobs);

// The counted lists of a picture set kept in a module, read straight from its buffer: the vector
// becomes exactly the stored list. A count larger than the bytes that remain could hold fails
// before anything is allocated. Return false (and leave the vector alone) when the buffer fails.
bool ReadDelaysFromBuffer(ResourceBuffer& buffer, std::vector<float>& delays);
bool ReadFileBlobsFromBuffer(ResourceBuffer& buffer, std::vector<FileBlob>& blobs);

// Destroys a stream through its virtual destructor; null is allowed.
void DeleteDocumentStream(Vo_IOF_Virtual* stream);
