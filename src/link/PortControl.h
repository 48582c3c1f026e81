#pragma once
// Opening and closing the serial port, with the search for the encoder on opening.

namespace qpes {

// Flips the port: an opening run looks for the encoder at up to nine port settings and reads
// its database when found; a closing run disables everything that needs the port.
void ToggleComPort();
// A run of the toggle that only closes: the closing and end steps on an open port (also one
// whose device has gone), nothing on a closed one.
void CloseComPort();

} // namespace qpes
