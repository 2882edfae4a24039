#pragma once
// How long the saver takes to end: from the request (closing the test window, a key in the
// full-screen saver) until its process has ended, for the test window and the full-screen saver.
class SaverEndBenchmark {
public:
    static void Run();
};
