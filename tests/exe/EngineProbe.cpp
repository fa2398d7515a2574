// Linked with the whole window-free engine, so that what the engine imports
// shows in this exe's import table.
int main()
{
    return 0;
}
