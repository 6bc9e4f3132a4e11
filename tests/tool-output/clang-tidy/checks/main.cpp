#include <cstring>
#include <string>

int divide(int a, int b) { return a / b; }

int main() {
  char buffer[8];
  strcpy(buffer, "too long for it");
  std::string s = "x";
  int value;
  if (s.size() == 1)
    return divide(4, 0) + value;
  return missing_name;
}
