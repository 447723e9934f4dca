#pragma once
// The program's entry: the start sequence and the UI thread's message loop.
int startProgram();
