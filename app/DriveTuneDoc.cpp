#include "DriveTuneDoc.h"
