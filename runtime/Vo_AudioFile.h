#pragma once
#include <memory>

#include "model/DataBuffer.h"
#include "model/Vo_IOF_Item.h"
#include "model/vo_string.h"

class Vo_IOF_Virtual;

// One background music track of a document: a label and the track's file, whose name is the path
// the music player plays and whose bytes, when the document embeds the file, are that file.
class Vo_AudioFile : public Vo_IOF_Item {
public:
    Vo_AudioFile() = default;

    // Makes the track playable from a path: a track whose stored path exists drops its embedded
    // bytes and plays from there; otherwise it plays a copy of its bytes in the temporary folder
    // under the stored file name. A copy there that already holds the same bytes is used as it is,
    // so several scene hosts and savers of one scene share one copy; a file of that name with other
    // bytes is replaced unless another holder has it open, in which case the copy takes a numbered
    // name ("song~2.mp3"). A track that cannot be written (a stored name that names no plain file,
    // a failed open or write) ends with an empty path, which the music player leaves out. A track
    // without bytes is left alone.
    void ExtractAudioFileToTemp();

    const vo_string& GetLabel() const { return m_label; }
    const DataBuffer& GetData() const { return m_data; }
    vo_string& Label() { return m_label; }
    DataBuffer& Data() { return m_data; }

private:
    vo_string m_label;
    DataBuffer m_data;
};

// Reads a music-track record: class name and version (neither is looked at), label, data buffer.
// A stream that fails part way leaves the fields it did not reach empty; the caller asks the
// stream whether it failed.
std::unique_ptr<Vo_AudioFile> ReadAudioFileRecord(Vo_IOF_Virtual& stream);
