#include "ChartTestUtil.h"
