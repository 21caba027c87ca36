#pragma once

class QProcess;

// Every tool the program starts is known here until it ends, so that all of
// them can be ended when the program ends.
void trackTool(QProcess &process);

// Asks the tool to end and kills it when it has not ended after a short grace.
// Returns once it has ended. Its files stay as they are.
void endTool(QProcess &process);

// Ends every tool still running: all are asked at once, then those still
// running after the grace are killed.
void endEveryTool();
