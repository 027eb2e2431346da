#pragma once

// The stop signals: SIGINT (Ctrl-C), SIGTERM, and SIGHUP and SIGQUIT taken
// like SIGTERM. The program ends with the status 128 + signal.

// Until the export starts, nothing is written: a stop signal ends the
// program at once, even in the middle of reading the picture.
void endAtOnceOnInterruption();

// From then on the signals only note that they arrived: the export sees it
// at its next cell and stops, so that the unfinished temporary file is
// discarded and any earlier file at the output path stays as it was.
void catchInterruptions();

// The signal that asked to stop, or 0.
int interruptingSignal();
