int f(int *p) {
  if (p == 0)
    return *p;
  return undefined_thing;
}
