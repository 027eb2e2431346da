#pragma once

// Ctrl-C (SIGINT) and SIGTERM only note that they arrived: the export sees
// it at its next cell and stops, so that the unfinished temporary file is
// discarded and any earlier file at the output path stays as it was.
void catchInterruptions();

// The signal that asked to stop, or 0.
int interruptingSignal();
