#include <vector>
int main() {
    std::vector<int> v;
    int unused;
    v.push_back("x");
    return v.size() + missing;
}
