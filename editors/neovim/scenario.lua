-- scenario-tool lsp in Neovim (0.7 and later) for the line texts
-- (*_linea.txt) and the train texts (*-.txt) of a scenario: each such file
-- is read and written in Windows-1252, as the program reads it, and served
-- by the language server. In init.lua:
--
--   dofile('/path/to/share/scenario-tool/neovim/scenario.lua').setup()
--   -- or, with the executable elsewhere:
--   dofile('/path/to/share/scenario-tool/neovim/scenario.lua').setup({ cmd = { '/opt/bin/scenario-tool', 'lsp' } })
--
-- Without `cmd`, the scenario-tool installed beside this file (the package's
-- bin/, or the top of the Windows folder) serves, else the one on the PATH.
-- The diagnostic's window gets a border and wraps its text within the
-- screen; when the colour scheme leaves floating windows in the completion
-- menu's colours (Neovim 0.7's default, red on magenta for an error), they
-- take the text's colours.
local M = {}

M.schemi = { '*_linea.txt', '*-.txt' }

-- The scenario-tool of the install this file belongs to, else the name.
function M.strumento()
  local qui = vim.fn.fnamemodify(debug.getinfo(1, 'S').source:sub(2), ':p:h')
  for _, candidato in ipairs({ qui .. '/../../../bin/scenario-tool', qui .. '/../../scenario-tool.exe' }) do
    if vim.fn.executable(candidato) == 1 then
      return vim.fn.fnamemodify(candidato, ':p')
    end
  end
  return 'scenario-tool'
end

-- The diagnostic's window: a border, the source named, and the text wrapped
-- at most four fifths of the screen wide (Neovim would make it as wide as the
-- window, cut at the screen's edge). Options the user set stay.
function M.finestra()
  local float = vim.diagnostic.config().float
  float = type(float) == 'table' and vim.deepcopy(float) or {}
  for chiave, valore in pairs({ border = 'rounded', source = 'always', header = '' }) do
    if float[chiave] == nil then
      float[chiave] = valore
    end
  end
  if float.max_width == nil or float.max_width == M.larghezza then
    M.larghezza = math.max(40, math.floor(vim.o.columns * 4 / 5))
    float.max_width = M.larghezza
  end
  vim.diagnostic.config({ float = float })
end

-- The floating windows' colours, when they are still those of the menu.
function M.colori()
  local menu = vim.fn.hlID('Pmenu')
  if vim.fn.synIDtrans(vim.fn.hlID('NormalFloat')) == menu then
    vim.cmd('highlight! link NormalFloat Normal')
    if vim.fn.synIDtrans(vim.fn.hlID('FloatBorder')) == menu then
      vim.cmd('highlight! link FloatBorder Normal')
    end
  end
end

-- Starts (or reuses) the server for buffer `buf`; returns the client's id.
function M.avvia(buf, cmd)
  local cartella = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(buf), ':p:h')
  local config = { name = 'scenario-tool', cmd = cmd, root_dir = cartella }
  if vim.lsp.start then
    return vim.lsp.start(config, { bufnr = buf })
  end
  -- Neovim 0.7: one client serves every such buffer.
  if not M.cliente or vim.lsp.client_is_stopped(M.cliente) then
    M.cliente = vim.lsp.start_client(config)
  end
  vim.lsp.buf_attach_client(buf, M.cliente)
  return M.cliente
end

function M.setup(opzioni)
  opzioni = opzioni or {}
  local cmd = opzioni.cmd or { M.strumento(), 'lsp' }
  local gruppo = vim.api.nvim_create_augroup('scenario_tool', { clear = true })
  M.finestra()
  M.colori()
  vim.api.nvim_create_autocmd('VimResized', { group = gruppo, callback = M.finestra })
  vim.api.nvim_create_autocmd('ColorScheme', { group = gruppo, callback = M.colori })
  -- The texts are Windows-1252: read them so, and so they are written back.
  local codifiche
  vim.api.nvim_create_autocmd('BufReadPre', {
    group = gruppo,
    pattern = M.schemi,
    callback = function()
      codifiche = vim.o.fileencodings
      vim.o.fileencodings = 'cp1252'
    end,
  })
  vim.api.nvim_create_autocmd('BufReadPost', {
    group = gruppo,
    pattern = M.schemi,
    callback = function(argomenti)
      if codifiche then
        vim.o.fileencodings = codifiche
        codifiche = nil
      end
      M.avvia(argomenti.buf, cmd)
    end,
  })
  vim.api.nvim_create_autocmd('BufNewFile', {
    group = gruppo,
    pattern = M.schemi,
    callback = function(argomenti)
      vim.bo[argomenti.buf].fileencoding = 'cp1252'
      M.avvia(argomenti.buf, cmd)
    end,
  })
end

return M
