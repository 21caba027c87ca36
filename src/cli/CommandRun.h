#pragma once

struct StartRequest;

// Runs the command the request names in the current folder, with a
// QCoreApplication in place: holds the folder against a second Kelvado, ends
// its tools on SIGTERM, SIGINT and SIGHUP, and tells every message on
// standard error. Returns the exit status.
int runCommand(const StartRequest &request);
