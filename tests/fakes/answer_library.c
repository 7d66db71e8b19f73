/* A tiny library for the loader tests: one exported function. */
int vardel_answer(void) { return 42; }
