#pragma once
// Placeholder; the simulator is being written.
namespace sim { class EncoderSim; }
