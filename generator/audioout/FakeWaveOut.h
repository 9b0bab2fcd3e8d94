#pragma once
#include "generator/audioout/WaveOut.h"
