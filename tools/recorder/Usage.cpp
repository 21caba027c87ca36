#include "Usage.h"

namespace recorder {

namespace {

const char* const kEnvironmentHelp =
    "\n"
    "Simulated ReplayTV recorder: no network is used, recordings come from a catalog.\n"
    "\n"
    "Environment (unset or empty = default):\n"
    "  SIMREC_CATALOG     catalog file, UTF-8, one recording per line, TAB-separated:\n"
    "                     title, quality (Standard|Medium|High), date MM/DD/YYYY,\n"
    "                     time HH:MM:SS, filename, duration (minutes), size (bytes).\n"
    "                     '#' lines and blank lines are ignored. Default: built-in\n"
    "                     demo catalog of 12 recordings. Malformed: exit 2.\n"
    "  SIMREC_RATE        transfer rate of Tolvane -e in bytes per second\n"
    "                     (default 2000000; 0 = write everything at once).\n"
    "  SIMREC_JOURNAL     file to which every invocation appends one line, before\n"
    "                     doing its work: program name and arguments joined by\n"
    "                     single blanks, LF-terminated.\n"
    "  SIMREC_FAULT       injected fault (default none):\n"
    "                       exit         Tolvane -e exits 0 at once, writes no file\n"
    "                       hang:N       Tolvane -e writes N bytes then stalls with the\n"
    "                                    file open; gives up (exit 1) 600 s after start\n"
    "                       stop:N       Tolvane -e writes N bytes then exits 0\n"
    "                       fail:N       Tolvane -e writes N bytes then exits 1\n"
    "                       oversize:N   Tolvane -e writes N bytes beyond the size\n"
    "                       no-fstat     Tamrick NAME exits 0 without writing FStat.txt\n"
    "                       bad-fstat    Tamrick NAME writes \"FileStat\" (one field)\n"
    "                       short-fstat  Tamrick NAME writes \"FileStat,Sz\"\n"
    "  SIMREC_FAULT_FILE  limit SIMREC_FAULT to this recorder file name.\n"
    "  SIMREC_GUIDE_FILE  Tamrick guide copies this file verbatim to Guide.txt\n"
    "                     instead of converting Guide.dat.\n"
    "\n"
    "Exit codes: 0 success, 1 failure (unknown recording, missing Guide.dat, I/O),\n"
    "2 bad arguments or bad environment value.\n";

} // namespace

std::string tolvaneUsage(const std::string& program)
{
    return "Usage:\n"
           "  " + program + " ADDRESS -g              write Guide.dat (the recorder's guide)\n"
           "  " + program + " ADDRESS -e NAME [DELAY] extract recording NAME into the\n"
           "                                    working directory\n"
           "  " + program + " --help\n"
           + kEnvironmentHelp;
}

std::string tamrickUsage(const std::string& program)
{
    return "Usage:\n"
           "  " + program + " guide    convert Guide.dat into Guide.txt\n"
           "  " + program + " NAME     write FStat.txt with the size of recording NAME\n"
           "                    (looked up in SIMREC_CATALOG or the demo catalog)\n"
           "  " + program + " --help\n"
           + kEnvironmentHelp;
}

} // namespace recorder
