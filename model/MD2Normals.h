#pragma once

#include "model/MD2File.h"

extern const float MD2Normals[MD2_NORMAL_COUNT][3];
