// Leaks the leak checker should not report in the test programs: the font
// configuration library keeps its caches for the whole process and frees them
// only after the check has run; the CUPS library never frees a few strings of
// the page-size cache it builds for a printer's driver (Qt's print support
// makes one for each printer it opens); the HEVC encoder the HEIF tests write
// their files with keeps a few buffers of each encoder it opens.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:_ppdCacheCreateWithPPD\n"
           "leak:libx265.so\n";
}
