#include "sim/EncoderSim.h"
