#include "quest/graph_link.h"

GraphLink* NewGraphLink(GraphLink*& head) { return PushHead(head, new GraphLink); }
