// A clean header beside it.
#pragma once
#include "ui/form.h"
