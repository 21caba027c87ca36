#pragma once

struct StartRequest;

// Each command runs in the current folder, which it holds alone, and returns
// the program's exit status.
int runList(const StartRequest &request);
int runArchive(const StartRequest &request);
int runVerify(const StartRequest &request);
