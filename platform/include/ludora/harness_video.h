// Harness extras: declarations follow.
#pragma once
