#pragma once
// A DirectShow filter graph that plays one audio file at a time: the background music and each
// MP3 sound item own one. It holds the graph's five interfaces and the filters that the current
// file brought into the graph, so that the next file can take them out again.
#include "model/ComRef.h"

#include <vector>

struct IGraphBuilder;
struct IMediaControl;
struct IMediaSeeking;
struct IMediaEventEx;
struct IBasicAudio;
struct IBaseFilter;
struct HWND__;

class AudioGraph {
public:
    AudioGraph();
    ~AudioGraph();
    AudioGraph(const AudioGraph&) = delete;
    AudioGraph& operator=(const AudioGraph&) = delete;

    // Initialises COM, makes the graph and asks it for control, seeking, events and audio, in
    // this order; events go to the window as message 0x8000 (no window: nobody is told). False
    // at the first failure; what was obtained so far stays.
    bool Create(HWND__* notifyWindow);

    // Takes the previous file's filters out of the graph and adds a source filter for the file,
    // named by its path. Returns the new source (held by the graph object), or null.
    IBaseFilter* AddFileSource(const wchar_t* path);

    // Connects the source's "Output" pin through whatever the file needs to the audio renderer
    // and runs from the start. Every filter is taken out and put back first, which breaks the
    // previous file's connections. False at the first step that fails.
    bool RenderSourcePin(IBaseFilter* source);

    // The other way to play a file: the graph builds the whole chain itself. Takes the previous
    // file's filters out first. False when the file cannot be rendered or run.
    bool RenderFile(const wchar_t* path);

    // Plays the current file again from its start.
    bool Rewind();
    void Stop();
    // Hundredths of a decibel, 0 the loudest, -10000 silence.
    bool SetVolume(long level);
    // One queued event code, or -1 when none is queued or there is no graph.
    int GetEvent();

    // Stops the graph and releases the file's filters, then the interfaces: audio, events,
    // seeking, control, graph. Every operation is a no-op afterwards.
    void Release();

    IGraphBuilder* Builder() const { return m_builder.Get(); }
    IMediaControl* Control() const { return m_control.Get(); }
    IMediaSeeking* Seeking() const { return m_seeking.Get(); }
    IMediaEventEx* Events() const { return m_events.Get(); }
    IBasicAudio* Audio() const { return m_audio.Get(); }

    // Number of filters in the graph (0 without a graph).
    int CountFilters() const;

private:
    void RemoveFileFilters();
    bool ReconnectFromSource(IBaseFilter* source);

    ComRef<IGraphBuilder> m_builder;
    ComRef<IMediaControl> m_control;
    ComRef<IMediaSeeking> m_seeking;
    ComRef<IMediaEventEx> m_events;
    ComRef<IBasicAudio> m_audio;
    // Filters that the current file added; without taking them out, every file would leave a
    // source filter in the graph holding its file open.
    std::vector<ComRef<IBaseFilter>> m_fileFilters;
};
