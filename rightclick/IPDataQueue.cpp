#include "rightclick/IPDataQueue.h"

TIPDataQueue::TIPDataQueue(tk::TComponent* AOwner) : tk::TComponent(AOwner) {}

TIPDataQueue::~TIPDataQueue() = default;
