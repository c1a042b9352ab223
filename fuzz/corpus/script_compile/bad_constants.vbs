Class Box
  Private cells("many"), more(1E+300)
End Class
Const NEG = -"x"
