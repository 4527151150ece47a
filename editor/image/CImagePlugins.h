#pragma once

// Qt makes its image format plugins on the thread that first asks for a
// format, and they stay until the program ends. Made on a thread that is
// not a Qt thread, they keep pointing at that thread's data after it has
// ended and been freed, and reading it at exit can crash. Every pool of
// decoding or encoding threads calls Load on its starting (main) thread
// before a worker starts.
class CImagePlugins
{
public:
    // Makes every image plugin on the calling thread, once per program.
    static void Load();
};
