#include "dragdemo/listdrag.h"

int main() {
  return RunListdrag();
}
