-- Neovim's own LSP client drives kalvane-lsp on real files: it opens each,
-- waits for the diagnostics, reads the outline, applies formatting and the
-- code actions through its own edit machinery and writes the buffer; the
-- bytes written must be what kalvane's document gives (kalvane-arrange for
-- the arrangement and the sort, the expected files for single moves).
-- Run as: nvim --headless -u NONE -c 'luafile neovim_test.lua'
local env = vim.env
local work = env.KALVANE_WORK
local failures = {}
local checks = 0
vim.fn.mkdir(work, 'p')

local function check(ok, what)
  checks = checks + 1
  if not ok then table.insert(failures, what) end
end

local function read(path)
  local file = assert(io.open(path, 'rb'))
  local bytes = file:read('*a')
  file:close()
  return bytes
end

local function write(path, bytes)
  local file = assert(io.open(path, 'wb'))
  file:write(bytes)
  file:close()
end

-- What kalvane-arrange writes for `path`, and how it judges the file.
local function arranged(path, sort)
  local args = { env.KALVANE_ARRANGE, '--quiet' }
  if sort then table.insert(args, '--sort') end
  table.insert(args, '-')
  -- Its report on standard error stays out of the bytes.
  local pipe = io.popen(table.concat(vim.tbl_map(vim.fn.shellescape, args), ' ')
                        .. ' 2>/dev/null <' .. vim.fn.shellescape(path))
  local bytes = pipe:read('*a')
  pipe:close()
  return bytes
end

local published = {}
local client = vim.lsp.start_client({
  name = 'kalvane-lsp',
  cmd = { env.KALVANE_LSP },
  root_dir = work,
  handlers = {
    ['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
      published[result.uri] = (published[result.uri] or 0) + 1
      return vim.lsp.diagnostic.on_publish_diagnostics(err, result, ctx, config)
    end,
  },
})

local function request(bufnr, method, params)
  local replies = vim.lsp.buf_request_sync(bufnr, method, params, 20000)
  local reply = replies and replies[client]
  check(reply and not reply.err, method .. ' answered')
  return reply and reply.result
end

-- The buffer as Neovim writes it.
local function saved(bufnr)
  local out = work .. '/saved.out'
  vim.api.nvim_buf_call(bufnr, function() vim.cmd('silent write! ' .. out) end)
  return read(out)
end

local function sorted_lines(bytes)
  local lines = vim.split(bytes, '\n', true)
  table.sort(lines)
  return table.concat(lines, '\n')
end

local function actions_at(bufnr, line)
  local position = { line = line, character = 0 }
  return request(bufnr, 'textDocument/codeAction', {
    textDocument = { uri = vim.uri_from_bufnr(bufnr) },
    range = { start = position, ['end'] = position },
    context = { diagnostics = {} },
  }) or {}
end

local function find(actions, title)
  for _, action in ipairs(actions) do
    if action.title == title then return action end
  end
end

-- Applies `action` as Neovim applies any workspace edit, checks the bytes
-- written, and that one undo takes it back.
local function apply(bufnr, action, expected, what)
  local before = saved(bufnr)
  -- Everything a script does is one undo block unless it is closed, as a
  -- user's own keystrokes close it.
  vim.api.nvim_buf_call(bufnr, function() vim.cmd('let &undolevels = &undolevels') end)
  vim.lsp.util.apply_workspace_edit(action.edit, 'utf-16')
  local after = saved(bufnr)
  if expected then
    check(after == expected, what .. ' gives the expected bytes')
  else
    check(sorted_lines(after) == sorted_lines(before),
          what .. ' keeps every line')
  end
  vim.api.nvim_buf_call(bufnr, function() vim.cmd('silent undo') end)
  check(saved(bufnr) == before, what .. ' is undone in one step')
end

local function session(source)
  local name = vim.fn.fnamemodify(source, ':t')
  local path = work .. '/' .. name
  write(path, read(source))
  vim.cmd('silent edit! ' .. path)
  local bufnr = vim.api.nvim_get_current_buf()
  local uri = vim.uri_from_bufnr(bufnr)
  vim.bo[bufnr].filetype = 'ostrel'
  vim.lsp.buf_attach_client(bufnr, client)
  check(vim.wait(20000, function() return published[uri] ~= nil end, 10),
        name .. ': diagnostics published')

  vim.fn.system({ env.KALVANE_ARRANGE, '--check', path })
  local verdict = vim.v.shell_error
  local diagnostics = vim.diagnostic.get(bufnr)
  if verdict == 0 then
    check(#diagnostics == 0, name .. ': no diagnostics')
  else
    check(#diagnostics == 1, name .. ': one diagnostic')
  end

  local declared = 0
  for line in io.lines(path) do
    if line:match('^DECLARE FUNCTION ') then declared = declared + 1 end
  end
  local symbols = request(bufnr, 'textDocument/documentSymbol',
                          { textDocument = { uri = uri } }) or {}
  check(#symbols == declared, name .. ': one symbol per declaration')

  local sort = find(actions_at(bufnr, 0), 'Sort Functions by Name')
  if sort then apply(bufnr, sort, arranged(path, true), name .. ': sort') end
  if verdict == 1 then
    local arrange = find(actions_at(bufnr, 0),
                         'Arrange Bodies in Declaration Order')
    check(arrange ~= nil, name .. ': arrangement offered')
    if arrange then
      apply(bufnr, arrange, arranged(path), name .. ': arrangement')
    end
  end

  local edits = request(bufnr, 'textDocument/formatting', {
    textDocument = { uri = uri },
    options = { tabSize = 2, insertSpaces = true },
  })
  if edits then vim.lsp.util.apply_text_edits(edits, bufnr, 'utf-16') end
  check(saved(bufnr) == arranged(path), name .. ': formatting')

  -- Every move offered on every function of the arranged file.
  for _, symbol in ipairs(symbols) do
    for _, action in ipairs(actions_at(bufnr, symbol.selectionRange.start.line)) do
      if action.title:match('^Move') then
        apply(bufnr, action, nil, name .. ': ' .. action.title .. ' on ' .. symbol.name)
      end
    end
  end
  return bufnr, symbols
end

local ok, err = pcall(function()
  for _, folder in ipairs({ env.KALVANE_DATA, env.KALVANE_EXAMPLES }) do
    for _, source in ipairs(vim.fn.glob(folder .. '/*.ost', false, true)) do
      -- A file with a NUL cannot travel as JSON text.
      if not source:match('nul_') then session(source) end
    end
  end
  local bufnr, symbols = session(env.KALVANE_DATA .. '/ordered.ost')
  apply(bufnr, find(actions_at(bufnr, symbols[1].selectionRange.start.line),
                    'Move Function Down'),
        read(env.KALVANE_DATA .. '/ordered_alpha_down.ost'), 'Alpha down')
  apply(bufnr, find(actions_at(bufnr, symbols[3].selectionRange.start.line),
                    'Move Function Up'),
        read(env.KALVANE_DATA .. '/ordered_gamma_up.ost'), 'Gamma up')
  check(find(actions_at(bufnr, symbols[2].selectionRange.start.line),
             'Move Function Up') == nil, 'Up never fills the first place')
end)
check(ok, tostring(err))
for _, failure in ipairs(failures) do io.stderr:write('FAILED: ' .. failure .. '\n') end
io.stderr:write(checks .. ' checks, ' .. #failures .. ' failed\n')
vim.lsp.stop_client(client)
vim.cmd(#failures == 0 and 'qall!' or 'cquit! 1')
