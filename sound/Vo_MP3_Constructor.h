#pragma once
#include <cstdint>

#include "model/ComRef.h"
#include "model/DataBuffer.h"
#include "runtime/AudioGraph.h"
#include "sound/Vo_Sound_Ctrl.h"

struct IBaseFilter;
class Vo_IOF_Virtual;

// A sound item of a compressed audio file that the document embeds with the path it had. Before
// playing, the item writes the bytes to a copy of its own in the temporary folder and plays that
// copy through a DirectShow graph of its own: from the start whenever its timeline is visible and
// the file is not playing, stopped as soon as the timeline turns invisible. A file that cannot be
// rendered leaves the item silent. A frame asks the playing graph only for its position: the item
// knows itself whether it has run or stopped the graph, and a restart goes back to the start of
// the chain that Prepare built instead of building it again.
class Vo_MP3_Constructor : public Vo_Sound_Ctrl {
public:
    Vo_MP3_Constructor();
    // Copies the file's name and bytes; the copy has no graph and no temporary copy of its own.
    Vo_MP3_Constructor(const Vo_MP3_Constructor& other);
    // Releases the graph, then deletes the temporary copy.
    ~Vo_MP3_Constructor() override;

    void Prepare() override;
    void Stop() override;
    void Update(float localTime) override;
    Vo_Sound_Ctrl* Clone() const override { return new Vo_MP3_Constructor(*this); }

    // The data buffer, then the sound-item record.
    void LoadFields(Vo_IOF_Virtual& stream, int32_t version);

    bool CreateGraph();
    // Builds the graph's chain for the source and runs it from the start (Prepare's step).
    // Virtual so that a test can count the attempts.
    virtual bool RenderSourcePin(IBaseFilter* source);
    void ApplyVolume();
    void ApplyBalance();

    DataBuffer& File() { return m_file; }
    const vo_string& TempPath() const { return m_tempPath; }
    AudioGraph& Graph() { return m_graph; }

    // The graph's levels in hundredths of a decibel: volume 0 to 100 spans 40 dB, balance 0 and
    // 100 are 40 dB to the left and right.
    static long VolumeLevel(int volume) { return (volume - 100) * 40; }
    static long BalanceLevel(int balance) { return (balance - 50) * 80; }

private:
    DataBuffer m_file;
    AudioGraph m_graph;
    ComRef<IBaseFilter> m_source;
    vo_string m_tempPath;
    // A file the graph could not render stays silent: trying again every frame would rebuild the
    // graph each time, which costs a machine without an audio device hundreds of milliseconds.
    bool m_cannotRender = false;
    // Whether the item has run its graph since it last stopped it (a file at its end is still
    // running until the item stops it).
    bool m_playing = false;
};
